#include "dialog_driver.h"

#include <stdexcept>

#include "message_boxes.h"

static DialogDriver* activeDriver = nullptr;
constexpr UINT_PTR stepTimer = 0x7A11;

DialogDriver::DialogDriver(std::vector<Step> steps, UINT watchdogMilliseconds, StepPace pace)
    : steps_(std::move(steps)), watchdogMilliseconds_(watchdogMilliseconds), pace_(pace),
      hook_(hookThisThread(WH_CBT, &DialogDriver::hook)) {
    if (activeDriver || !hook_)
        throw std::logic_error("one dialog driver at a time");
    activeDriver = this;
}

DialogDriver::~DialogDriver() {
    activeDriver = nullptr;
}

LRESULT CALLBACK DialogDriver::hook(int code, WPARAM wParam, LPARAM lParam) {
    DialogDriver* driver = activeDriver;
    if (code == HCBT_ACTIVATE && driver && !driver->dialog_) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char kind[16];
        GetClassNameA(window, kind, sizeof kind);
        if (lstrcmpA(kind, "#32770") == 0 && !isMessageBox(window)) {
            driver->dialog_ = window;
            SetTimer(window, stepTimer, static_cast<UINT>(driver->pace_),
                     &DialogDriver::runNextStep);
            SetTimer(window, stepTimer + 1, driver->watchdogMilliseconds_, &DialogDriver::watchdog);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogDriver::runNextStep(HWND window, UINT, UINT_PTR, DWORD) {
    DialogDriver* driver = activeDriver;
    if (!driver || driver->inStep_ || window != driver->dialog_)
        return;
    if (driver->nextStep_ >= driver->steps_.size()) {
        KillTimer(window, stepTimer);
        return;
    }
    driver->inStep_ = true;
    Step step = driver->steps_[driver->nextStep_++];
    step(window);
    if (activeDriver)
        activeDriver->inStep_ = false;
}

void CALLBACK DialogDriver::watchdog(HWND window, UINT, UINT_PTR, DWORD) {
    KillTimer(window, stepTimer);
    KillTimer(window, stepTimer + 1);
    if (activeDriver)
        activeDriver->watchdogFired_ = true;
    if (HWND cancel = GetDlgItem(window, IDCANCEL))
        SendMessageA(cancel, BM_CLICK, 0, 0);
    EndDialog(window, -1);
}

std::string controlText(HWND dialog, int id) {
    char text[512];
    int length = GetDlgItemTextA(dialog, id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

void pressKey(HWND window, WPARAM key) {
    UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

void clickButton(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
