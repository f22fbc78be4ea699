#include "interruption.h"

#include <windows.h>

namespace {

volatile LONG asked = 0;

// Runs on a thread of its own (Wine turns SIGINT into this event): the flight loop sees the
// flag at its next frame.
BOOL WINAPI onControlEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    // The second request is not ours to hold up: the system's handler ends the process.
    return InterlockedExchange(&asked, 1) == 0;
}

} // namespace

void watchForInterruption() {
    SetConsoleCtrlHandler(onControlEvent, TRUE);
}

bool interruptionAsked() {
    return asked != 0;
}
