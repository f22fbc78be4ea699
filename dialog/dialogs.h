// The library's two modal dialogs and what they share.
#pragma once
#include <windows.h>

#include "caption_text.h"

// Sets a dialog's title from a caption kept scrambled in the library's data.
void showCaption(HWND dialog, const StoredCaption& caption);

// about_dialog.cpp
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// settings_dialog.cpp
INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
