// A Windows program that uses nothing of Tarvix: it starts a thread that waits on the main
// thread's handle, as GoogleTest's watcher thread does once a case has reported a result (a skip,
// a failure), and returns 0 while that thread still waits. Windows ends such a thread with the
// process. Wine 8, run many times (tools/wine-exit-crash), now and then dies by SIGSEGV in its
// own exit instead: a core dump shows its exit() under way in the main thread while the waiting
// thread, stopped by a signal in a server call, crashes in pthread_getspecific under
// NtCurrentTeb. With --no-thread the program only prints and returns, and its runs end well.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Waits until the thread whose handle it is given has ended, which it never has before the exit.
DWORD WINAPI watchThread(void* handle) {
    WaitForSingleObject(static_cast<HANDLE>(handle), INFINITE);
    return 0;
}

void startWatcher() {
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    HANDLE watcher = CreateThread(nullptr, 0, watchThread, self, CREATE_SUSPENDED, nullptr);
    SetThreadPriority(watcher, THREAD_PRIORITY_ABOVE_NORMAL);
    ResumeThread(watcher);
    CloseHandle(watcher);
}

} // namespace

int main(int argc, char** argv) {
    if (!(argc > 1 && std::strcmp(argv[1], "--no-thread") == 0))
        startWatcher();
    std::printf("[  PASSED  ] 1 test.\n");
    std::fflush(stdout);
    return 0;
}
