#include "error_report.h"

void reportError(HWND owner, const char* text) {
    MessageBeep(MB_OK);
    MessageBoxExA(owner, text, "Error !", MB_OK | MB_ICONEXCLAMATION,
                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}
