#include "engine/common_controls.h"

#include <cwchar>

namespace {
constexpr wchar_t commonControlsName[] = L"comctl32.dll";
HMODULE commonControls = nullptr;

// By its full path in the system folder, so that neither the program's
// folder nor the search path can supply it; its own imports are then
// looked for in that folder too.
HMODULE loadFromSystemFolder(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + std::wcslen(name) >= MAX_PATH) {
        return nullptr;
    }
    path[length] = L'\\';
    std::wcscpy(path + length + 1, name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Loaded once and kept for the life of the process, as an import would be.
template <typename Function> Function* commonControlsFunction(const char* name)
{
    if (commonControls == nullptr) {
        commonControls = loadFromSystemFolder(commonControlsName);
    }
    return commonControls == nullptr
               ? nullptr
               : reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(commonControls, name)));
}
} // namespace

bool initCommonControls(DWORD classes)
{
    const auto initialise = commonControlsFunction<decltype(InitCommonControlsEx)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls = {sizeof controls, classes};
    return initialise != nullptr && initialise(&controls) != FALSE;
}

void drawImageListIcon(HIMAGELIST list, int icon, HDC dc, int x, int y, UINT style)
{
    const auto draw = commonControlsFunction<decltype(ImageList_Draw)>("ImageList_Draw");
    if (draw != nullptr) {
        draw(list, icon, dc, x, y, style);
    }
}
