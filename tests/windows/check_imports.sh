#!/bin/sh
# Checks the setup and the uninstaller of both builds as Windows will load
# them. Their import tables name only KnownDLLs, which Windows always loads
# from the system folder: any other DLL would be looked for in the program's
# own folder first (a downloads folder), before WinMain can restrict the
# search. The C++ runtime is linked in, so no libstdc++, libgcc or
# libwinpthread either. All four load at a random base with a stack that is
# never executed, and are Terminal Server aware, so that a Remote Desktop
# server gives them the system's Windows folder rather than a user's. The
# shipped 32-bit ones are PE32 i386 programs for the GUI subsystem.
# Usage: check_imports.sh WIN32_SETUP WIN64_SETUP WIN32_UNINSTALLER WIN64_UNINSTALLER
set -u
# The KnownDLLs of every Windows from 7 to 11 (ntdll is mapped before any
# import is resolved). Not comctl32, version, uxtheme or winmm.
known_dlls="advapi32.dll comdlg32.dll gdi32.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll
  normaliz.dll nsi.dll ntdll.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll
  shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll"
status=0
problem() {
    echo "FAIL $1"
    status=1
}

check_imports() {
    headers=$(x86_64-w64-mingw32-objdump -p "$1") || { problem "$1 cannot be read"; return; }
    dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    [ -n "$dlls" ] || problem "$1 lists no imports"
    for dll in $dlls; do
        case " $(echo $known_dlls) " in
        *" $dll "*) echo "ok   $1 imports $dll" ;;
        *) problem "$1 imports $dll, which is not a KnownDLL: load it at run time from the system folder" ;;
        esac
    done
}

# DYNAMIC_BASE 0x0040, NX_COMPAT 0x0100, TERMINAL_SERVER_AWARE 0x8000.
check_characteristics() {
    headers=$(x86_64-w64-mingw32-objdump -p "$1") || return
    flags=$(echo "$headers" | sed -n 's/^DllCharacteristics[[:space:]]*\([0-9a-fA-F]*\)$/\1/p')
    [ -n "$flags" ] && [ $((0x$flags & 0x8140)) -eq $((0x8140)) ] ||
        problem "$1 has DllCharacteristics ${flags:-none}, not all of 0x8140"
}

check_header() {
    headers=$(x86_64-w64-mingw32-objdump -p "$1") || return
    echo "$headers" | grep -q "file format $2\$" || problem "$1 is not of format $2"
    echo "$headers" | grep -q '^Magic[[:space:]]*010b' || problem "$1 is not PE32"
    echo "$headers" | grep -q '^Subsystem[[:space:]]*00000002' || problem "$1 is not for the Windows GUI subsystem"
}

for program in "$@"; do
    check_imports "$program"
    check_characteristics "$program"
done
check_header "$1" pei-i386
check_header "$3" pei-i386
exit $status
