// The dialog library's one way of showing an error to the pilot, and of asking a question.
#pragma once
#include <windows.h>

// A default beep, then a message box captioned "Error !" with the exclamation icon and an OK
// button, its buttons in US English. Returns when the pilot has dismissed it.
void reportError(HWND owner, const char* text);

// The library's one way of asking: a default beep, then a Yes/No message box with the
// exclamation icon, its buttons in US English. True when the pilot answers Yes.
bool askYesNo(HWND owner, const char* text, const char* caption);
