// The About box: the product's banner in a frame without a close box. Only its OK button (or
// Enter, which the dialog manager turns into the default button) closes it; Escape produces
// command 2, which is deliberately left unhandled.
#include <windows.h>

#include "caption_text.h"
#include "dialog_resources.h"
#include "dialogs.h"

void showCaption(HWND dialog, const StoredCaption& caption) {
    char title[128];
    unscrambleCaption(caption, title, sizeof title);
    SetWindowTextA(dialog, title);
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        showCaption(dialog, aboutCaption);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK)
            return FALSE;
        EndDialog(dialog, IDOK);
        return TRUE;
    default:
        return FALSE;
    }
}
