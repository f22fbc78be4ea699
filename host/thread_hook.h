// A hook on this thread's windows, removed with the object. A class that installs one keeps it in
// a member of this type, so that a constructor that throws after installing it leaves no hook
// behind to call into an object that never came to be.
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

struct HookRemover {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using ThreadHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookRemover>;

inline ThreadHook hookThisThread(int kind, HOOKPROC procedure) {
    return ThreadHook(SetWindowsHookExA(kind, procedure, nullptr, GetCurrentThreadId()));
}
