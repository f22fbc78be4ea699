#include "error_report.h"

void reportError(HWND owner, const char* text) {
    MessageBeep(MB_OK);
    MessageBoxExA(owner, text, "Error !", MB_OK | MB_ICONEXCLAMATION,
                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

bool askYesNo(HWND owner, const char* text, const char* caption) {
    MessageBeep(MB_OK);
    return MessageBoxExA(owner, text, caption, MB_YESNO | MB_ICONEXCLAMATION,
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) == IDYES;
}
