// Works a modal dialog of the dialog library the way a person would: finds it as it activates
// on this thread, then runs the given steps one per timer tick inside the dialog's own message
// loop (a step is never entered while another one is still running, for example while a step's
// click has a message box open). A dialog still open when the watchdog's time is up is cancelled
// as a person would (its Cancel button, so that the settings dialog puts its database back), then
// ended with result -1 whatever Cancel did; the driver says so, so that a dialog that
// never closes fails its test or run instead of hanging it. Message boxes are left to a
// MessageBoxAnswerer. Used by the tests and by the host's scripted dialog steps.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "thread_hook.h"

// How soon the next step comes: at a person's pace for the host's scripted steps (their window
// can be watched), or as soon as the system's timer allows for tests that work the dialog
// hundreds of times. Either way a step comes only when the dialog has nothing else to do: a timer
// tick is the last message a queue hands out, after every posted key and click.
enum class StepPace : UINT { person = 30, quickest = USER_TIMER_MINIMUM };

// How long a dialog may stay open before the driver cancels it.
constexpr UINT dialogWatchdogMilliseconds = 30000;

class DialogDriver {
  public:
    using Step = std::function<void(HWND dialog)>;
    explicit DialogDriver(std::vector<Step> steps,
                          UINT watchdogMilliseconds = dialogWatchdogMilliseconds,
                          StepPace pace = StepPace::person);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    HWND dialog() const { return dialog_; } // the dialog found, nullptr before
    bool watchdogFired() const { return watchdogFired_; }
    size_t stepsRun() const { return nextStep_; }

  private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK runNextStep(HWND window, UINT, UINT_PTR, DWORD);
    static void CALLBACK watchdog(HWND window, UINT, UINT_PTR, DWORD);

    std::vector<Step> steps_;
    UINT watchdogMilliseconds_;
    StepPace pace_;
    size_t nextStep_ = 0;
    bool inStep_ = false;
    bool watchdogFired_ = false;
    HWND dialog_ = nullptr;
    ThreadHook hook_;
};

// Helpers for steps: a control's text, and input as the dialog manager receives it.
std::string controlText(HWND dialog, int id);
void pressKey(HWND window, WPARAM key); // a key down and up, posted to the window
void clickButton(HWND dialog, int id);  // the button's own click, as a mouse click would give
