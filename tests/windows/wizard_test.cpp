// The shared page routines and the progress model, on real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../shared/product_facts.h"
#include "resource.h"
#include "setup/pages/progress.h"
#include "setup/wizard.h"

namespace {
class PageWindow : public ::testing::Test {
  protected:
    void SetUp() override
    {
        programInstance = GetModuleHandleA(nullptr);
        screenWidth = 1024;
        screenHeight = 768;
        page = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        counter = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 80, 20, page,
                                  reinterpret_cast<HMENU>(IDC_CURRENT_SIZE), nullptr, nullptr);
        progressBar = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 20, 80, 20, page, nullptr, nullptr, nullptr);
        progressTotal = 0;
        progressDone = 0;
        progressValue = 0;
    }
    void TearDown() override { DestroyWindow(page); }

    std::string counterText()
    {
        char text[32];
        GetWindowTextA(counter, text, sizeof text);
        return text;
    }

    HWND page = nullptr;
    HWND counter = nullptr;
};
} // namespace

TEST_F(PageWindow, ProgressNeverPassesTheTotal)
{
    progressTotal = 10000;
    addProgress(page, 4000);
    EXPECT_EQ(progressValue, 80);
    EXPECT_EQ(counterText(), "4,000");
    addProgress(page, 0xFFFFFFF0u); // more than reported could ever fit
    EXPECT_EQ(progressDone, 10000u);
    EXPECT_EQ(progressValue, 200);
    EXPECT_EQ(counterText(), "10,000");
}

TEST_F(PageWindow, ProgressWithoutTotalShowsNothing)
{
    addProgress(page, 1024);
    EXPECT_EQ(progressDone, 0u);
    EXPECT_EQ(progressValue, 0);
    EXPECT_EQ(counterText(), "");
}

TEST_F(PageWindow, ASkippedRowMovesTheCounterInOneStep)
{
    progressTotal = 3000;
    addProgress(page, 1000);
    addProgress(page, 1500);
    EXPECT_EQ(counterText(), "2,500");
    EXPECT_EQ(progressValue, 166);
}

TEST_F(PageWindow, CentringKeepsTheSizeAndMayGoNegative)
{
    centerDialog(page, 0);
    RECT frame;
    GetWindowRect(page, &frame);
    EXPECT_EQ(frame.left, (1024 - 300) / 2);
    EXPECT_EQ(frame.top, (768 - 200) / 2);
    centerDialog(page, 1);
    GetWindowRect(page, &frame);
    EXPECT_EQ(frame.left, (1024 - 300 + 150) / 2);
    EXPECT_EQ(frame.right - frame.left, 300);

    // Larger than the screen: odd negative halves are cut toward zero.
    MoveWindow(page, 0, 0, 1401, 901, FALSE);
    centerDialog(page, 1);
    GetWindowRect(page, &frame);
    EXPECT_EQ(frame.left, -113);
    EXPECT_EQ(frame.top, -66);
    EXPECT_EQ(frame.right - frame.left, 1401);
    EXPECT_EQ(frame.bottom - frame.top, 901);
}

TEST_F(PageWindow, ProductNameFillsCaptionOrIntroText)
{
    HWND intro = CreateWindowExA(0, "STATIC", "Install %s now", WS_CHILD, 0, 0, 80, 20, page,
                                 reinterpret_cast<HMENU>(IDC_INTRO_TEXT), nullptr, nullptr);
    SetWindowTextA(page, "%s License Agreement");
    applyProductName(page, 0);
    char text[64];
    GetWindowTextA(intro, text, sizeof text);
    EXPECT_EQ(text, withProductName("Install %s now"));
    GetWindowTextA(page, text, sizeof text);
    EXPECT_STREQ(text, "%s License Agreement") << "the caption is untouched";
    applyProductName(page, 1);
    GetWindowTextA(page, text, sizeof text);
    EXPECT_EQ(text, withProductName("%s License Agreement"));
    EXPECT_NE(SendMessageA(page, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(PageWindow, PumpWithZeroDurationDispatchesAtMostOneMessage)
{
    PostMessageA(page, WM_NULL, 0, 0);
    PostMessageA(page, WM_NULL, 0, 0);
    pumpMessagesFor(page, 0);
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, page, 0, 0, PM_REMOVE)) << "the second message is still queued";
    EXPECT_FALSE(PeekMessageA(&message, page, 0, 0, PM_REMOVE));
}

TEST_F(PageWindow, PumpWaitsTheWholePeriod)
{
    const DWORD start = GetTickCount();
    pumpMessagesFor(page, 100);
    EXPECT_GE(GetTickCount() - start, 100u);
}
