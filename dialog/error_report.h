// The dialog library's one way of showing an error to the pilot.
#pragma once
#include <windows.h>

// A default beep, then a message box captioned "Error !" with the exclamation icon and an OK
// button, its buttons in US English. Returns when the pilot has dismissed it.
void reportError(HWND owner, const char* text);
