#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "../shared/product_facts.h"
#include "dialog_driver.h"
#include "product/config.h"
#include "resource.h"
#include "setup/backdrop.h"
#include "setup/pages/pages.h"
#include "setup/wizard.h"

namespace {
const std::string pageCaption = withProductName("%s Program Group");

INT_PTR runGroupPageDialog()
{
    programInstance = GetModuleHandleA(nullptr);
    return DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_GROUP), nullptr, groupPageProc, 0);
}

void usePrograms(const char* programsDir)
{
    lstrcpyA(installPaths.programsDir, programsDir);
    lstrcpyA(installPaths.installDir, (std::string("C:\\Group Test\\") + installConfig.productName).c_str());
    lstrcpyA(installPaths.windowsDir, "C:\\Group Test\\Windows");
}

void makeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

std::vector<std::string> listedGroups(HWND page)
{
    std::vector<std::string> items;
    const LRESULT count = SendDlgItemMessageA(page, IDC_GROUP_BOX, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = "";
        SendDlgItemMessageA(page, IDC_GROUP_BOX, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

HWND groupField(HWND page) { return FindWindowExA(GetDlgItem(page, IDC_GROUP_BOX), nullptr, "Edit", nullptr); }

std::string selectedGroup(HWND page)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_GROUP_BOX, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return "<none>";
    }
    return listedGroups(page)[static_cast<size_t>(index)];
}

// Whether a message box turns up within the time.
bool messageBoxAppears(DWORD milliseconds)
{
    return driver::waitForWindow("#32770", "Setup Mate", milliseconds) != nullptr;
}
} // namespace

TEST(GroupPage, ListsTheGroupsSortedAndProposesTheProductNameAsConfigured)
{
    makeFolder("C:\\Group Test");
    makeFolder("C:\\Group Test\\Programs");
    std::vector<std::string> groups = {"Zeta", lowerCaseProductName(), "Accessories", "Startup"};
    for (const std::string& folder : groups) {
        makeFolder("C:\\Group Test\\Programs\\" + folder);
    }
    makeFolder("C:\\Group Test\\Programs\\.hidden");
    std::sort(groups.begin(), groups.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    CloseHandle(CreateFileA("C:\\Group Test\\Programs\\Notes.lnk", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    usePrograms("C:\\Group Test\\Programs");

    std::vector<std::string> listed;
    std::string intro, proposed, selected, typed, afterReset, selectedAfterReset, warning;
    bool enterDidNothing = false;
    std::thread user([&] {
        HWND page = driver::waitForWindow("#32770", pageCaption.c_str());
        if (page == nullptr) {
            return;
        }
        listed = listedGroups(page);
        intro = driver::controlText(page, IDC_INTRO_TEXT);
        proposed = driver::controlText(page, IDC_GROUP_BOX);
        selected = selectedGroup(page);
        HWND field = groupField(page);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        driver::typeText(field, std::string(sizeof installPaths.groupName + 4, 'x'));
        typed = driver::controlText(page, IDC_GROUP_BOX);
        driver::pressKey(field, VK_RETURN);
        enterDidNothing = !messageBoxAppears(500) && IsWindow(page);
        driver::click(page, IDC_RESET_GROUP);
        Sleep(200);
        afterReset = driver::controlText(page, IDC_GROUP_BOX);
        selectedAfterReset = selectedGroup(page);
        driver::pressKey(field, VK_ESCAPE);
        warning = driver::answerMessageBox(IDOK);
    });
    const INT_PTR result = runGroupPageDialog();
    user.join();

    EXPECT_EQ(listed, groups) << "folders only, sorted, none beginning with a dot";
    EXPECT_EQ(intro, withProductName("Shortcuts for %s will be created and placed in the following group:"));
    EXPECT_EQ(proposed, installConfig.productName);
    EXPECT_EQ(selected, lowerCaseProductName()) << "the listed group is selected whatever its case";
    EXPECT_EQ(typed, std::string(sizeof installPaths.groupName - 1, 'x')) << "typing stops where the group fits";
    EXPECT_TRUE(enterDidNothing);
    EXPECT_EQ(afterReset, installConfig.productName);
    EXPECT_EQ(selectedAfterReset, lowerCaseProductName());
    EXPECT_EQ(warning, abortWarningText);
    EXPECT_EQ(result, 2) << "Esc ends the page with 2";
}

TEST(GroupPage, AnEmptyGroupIsRefusedAndATypedOneGetsTheShortcuts)
{
    makeFolder("C:\\Group Test");
    makeFolder("C:\\Group Test\\Typed");
    usePrograms("C:\\Group Test\\Typed");
    std::string refusal;
    bool stayedOpen = false;
    bool continueDisabled = false; // and "Reset Group": the group of the shortcuts is the one recorded
    std::thread user([&] {
        HWND page = driver::waitForWindow("#32770", pageCaption.c_str());
        if (page == nullptr) {
            return;
        }
        HWND field = groupField(page);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        driver::click(page, IDC_GROUP_CONTINUE);
        refusal = driver::answerMessageBox(IDOK);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("..\\..\\Windows"));
        driver::click(page, IDC_GROUP_CONTINUE);
        refusal += "|" + driver::answerMessageBox(IDOK);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        Sleep(200);
        stayedOpen = IsWindow(page) && IsWindowEnabled(GetDlgItem(page, IDC_GROUP_CONTINUE));
        driver::typeText(field, "My Tools");
        driver::click(page, IDC_GROUP_CONTINUE);
        if (driver::waitForWindow("#32770", withProductName("Creating %s Shortcuts").c_str()) != nullptr) {
            continueDisabled = !IsWindowEnabled(GetDlgItem(page, IDC_GROUP_CONTINUE)) &&
                               !IsWindowEnabled(GetDlgItem(page, IDC_RESET_GROUP));
        }
    });
    const INT_PTR result = runGroupPageDialog();
    user.join();

    EXPECT_EQ(refusal, "Group may not be empty!|Group Invalid!\r\n\r\nA group is a folder inside the Start Menu, "
                       "such as Tools or Tools\\Utilities.");
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(continueDisabled);
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(installPaths.groupName, "My Tools");
    EXPECT_EQ(currentStepMarker, STEP_SHORTCUTS);
    const std::string link =
        std::string("C:\\Group Test\\Typed\\My Tools\\") + installConfig.files[README_ROW].shortcutCaption + ".lnk";
    EXPECT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(GroupPage, AProgramsFolderThatCannotBeSearchedEndsThePage)
{
    for (const char* programs : {"C:\\Group Test\\Missing", ""}) {
        usePrograms(programs);
        std::string error, warning;
        std::thread user([&] {
            error = driver::answerMessageBox(IDOK);
            warning = driver::answerMessageBox(IDOK);
        });
        EXPECT_EQ(runGroupPageDialog(), 2) << programs;
        user.join();
        EXPECT_EQ(error, "Unable to locate the Start Menu!") << programs;
        EXPECT_EQ(warning, abortWarningText);
    }
}

TEST(GroupPage, ShortcutsThatCannotBeMadeEndThePageWithTheirMessage)
{
    makeFolder("C:\\Group Test");
    makeFolder("C:\\Group Test\\Busy");
    usePrograms("C:\\Group Test\\Busy");
    CoInitialize(nullptr); // COM already in use on this thread: the shortcuts refuse to start
    std::string error, warning;
    std::thread user([&] {
        HWND page = driver::waitForWindow("#32770", pageCaption.c_str());
        if (page == nullptr) {
            return;
        }
        driver::click(page, IDC_GROUP_CONTINUE);
        error = driver::answerMessageBox(IDOK, 20000);
        warning = driver::answerMessageBox(IDOK);
    });
    const INT_PTR result = runGroupPageDialog();
    user.join();
    CoUninitialize();

    EXPECT_EQ(error, "Unable To Create Shortcuts!");
    EXPECT_EQ(warning, abortWarningText);
    EXPECT_EQ(result, 2);
    const std::string group = std::string("C:\\Group Test\\Busy\\") + installConfig.productName;
    EXPECT_EQ(GetFileAttributesA(group.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {
// A stand-in list that answers the item queries and counts them.
int itemQueries;
LRESULT reportedLength;

LRESULT CALLBACK recordingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CB_GETLBTEXTLEN) {
        ++itemQueries;
        return reportedLength;
    }
    if (message == CB_GETLBTEXT) {
        ++itemQueries;
        lstrcpyA(reinterpret_cast<char*>(lParam), "Games");
        return 5;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Draws one item into a white bitmap and counts the pixels that changed.
int changedPixels(UINT itemId)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = recordingListProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "RecordingList";
    RegisterClassA(&windowClass);
    HWND list = CreateWindowExA(0, "RecordingList", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance,
                                nullptr);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECT all = {0, 0, 120, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_COMBOBOX;
    item.CtlID = IDC_GROUP_BOX;
    item.itemID = itemId;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ODS_SELECTED | ODS_FOCUS;
    item.hwndItem = list;
    item.hDC = dc;
    item.rcItem = all;
    listColors[LIST_SELECTED_TEXT] = RGB(255, 255, 255);
    listColors[LIST_SELECTED_BACK] = RGB(0, 0, 128);
    groupPageProc(nullptr, WM_DRAWITEM, IDC_GROUP_BOX, reinterpret_cast<LPARAM>(&item));

    int changed = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 120; ++x) {
            changed += GetPixel(dc, x, y) != RGB(255, 255, 255);
        }
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(list);
    return changed;
}
} // namespace

TEST(GroupPage, ADrawRequestForNoItemDrawsNothingAndReadsNothing)
{
    usePrograms("C:\\Group Test\\Programs");
    itemQueries = 0;
    reportedLength = 5;
    EXPECT_EQ(changedPixels(static_cast<UINT>(-1)), 0);
    EXPECT_EQ(itemQueries, 0);

    EXPECT_GT(changedPixels(0), 0) << "an item is drawn";
    EXPECT_EQ(itemQueries, 2);

    // A name longer than the item text buffer is not read into it.
    itemQueries = 0;
    reportedLength = 200;
    changedPixels(0);
    EXPECT_EQ(itemQueries, 1);
}
