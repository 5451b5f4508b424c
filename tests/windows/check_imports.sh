#!/bin/sh
# Checks the shipped program, its 64-bit twin and the shipped uninstaller as
# Windows will load them: all import only Windows system DLLs (the C++ runtime
# is linked in, so no libstdc++, libgcc or libwinpthread), and the shipped ones
# are PE32 i386 programs for the GUI subsystem.
# Usage: check_imports.sh WIN32_EXE WIN64_EXE WIN32_UNINSTALLER
set -u
system_dlls="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll ole32.dll oleaut32.dll
  msvcrt.dll shlwapi.dll version.dll comdlg32.dll ntdll.dll"
status=0
problem() {
    echo "FAIL $1"
    status=1
}

check_imports() {
    headers=$(x86_64-w64-mingw32-objdump -p "$1") || { problem "$1 cannot be read"; return; }
    for dll in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        case " $(echo $system_dlls) " in
        *" $dll "*) echo "ok   $1 imports $dll" ;;
        *) problem "$1 imports $dll, which is not a Windows system DLL" ;;
        esac
    done
}

check_header() {
    headers=$(x86_64-w64-mingw32-objdump -p "$1") || return
    echo "$headers" | grep -q "file format $2\$" || problem "$1 is not of format $2"
    echo "$headers" | grep -q '^Magic[[:space:]]*010b' || problem "$1 is not PE32"
    echo "$headers" | grep -q '^Subsystem[[:space:]]*00000002' || problem "$1 is not for the Windows GUI subsystem"
}

check_imports "$1"
check_header "$1" pei-i386
check_imports "$2"
check_imports "$3"
check_header "$3" pei-i386
exit $status
