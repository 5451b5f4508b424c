#include "setup/pages/progress.h"

#include "resource.h"
#include "rules/progress_math.h"
#include "setup/wizard.h"

uint32_t progressTotal;
uint32_t progressDone;
uint16_t progressValue;
HWND progressBar;

void addProgress(HWND page, uint32_t byteCount)
{
    const uint32_t room = progressTotal - progressDone;
    progressDone += byteCount < room ? byteCount : room;
    if (progressDone == 0) {
        return;
    }
    const uint16_t position = barPosition(progressDone, progressTotal);
    if (position != progressValue) {
        progressValue = position;
        InvalidateRect(progressBar, nullptr, FALSE);
        UpdateWindow(progressBar);
        pumpMessagesFor(page, 10);
    }
    setDlgItemNumber(page, IDC_CURRENT_SIZE, progressDone);
}

void setDlgItemNumber(HWND dialog, int controlId, uint32_t value)
{
    char text[GROUPED_NUMBER_SIZE];
    formatGroupedNumber(value, text);
    SetDlgItemTextA(dialog, controlId, text);
}
