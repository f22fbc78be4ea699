// Pictures of the dialog library's real windows for the README: opens the settings dialog on a
// database, with its folders expanded, then again with the tree's popup menu open over it, and
// the About box, and writes each window as it is drawn on the screen to a PNG file in the current
// folder.
// Usage: dialog_screenshot DATABASE   (run in an empty folder; the library lies beside the program)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/module_contract.h"
#include "dialog/dialog_resources.h"
#include "host/panel_host.h"
#include "host/window_capture.h"

namespace {

const char* pictureName = nullptr;
bool withMenu = false;
bool written = false;
std::string failure;

PanelPicture grab(HWND window) {
    PanelPicture picture{};
    if (!captureWindow(window, picture))
        failure = "(the window could not be read)";
    return picture;
}

bool save(const PanelPicture& picture, const char* path) {
    std::string error;
    if (!writePng(path, picture, error))
        failure = error;
    return failure.empty();
}

// The menu is a window of its own above the dialog: its picture goes where it lies on the screen.
void overlay(PanelPicture& below, HWND belowWindow, HWND aboveWindow) {
    const PanelPicture above = grab(aboveWindow);
    RECT b, a;
    GetWindowRect(belowWindow, &b);
    GetWindowRect(aboveWindow, &a);
    for (int y = 0; y < above.height; ++y) {
        for (int x = 0; x < above.width; ++x) {
            const int tx = a.left - b.left + x, ty = a.top - b.top + y;
            if (tx < 0 || ty < 0 || tx >= below.width || ty >= below.height)
                continue;
            for (int c = 0; c < 3; ++c)
                below.rgb[3 * (ty * below.width + tx) + c] = above.rgb[3 * (y * above.width + x) + c];
        }
    }
}

void expandFolders(HWND tree) {
    auto next = [tree](HTREEITEM item, WPARAM how) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    };
    for (HTREEITEM item = next(nullptr, TVGN_ROOT); item; item = next(item, TVGN_NEXT))
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void CALLBACK shoot(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    UpdateWindow(dialog);
    PanelPicture picture = grab(dialog);
    HWND menu = withMenu ? FindWindowA("#32768", nullptr) : nullptr;
    if (menu) {
        overlay(picture, dialog, menu);
        EndMenu();
        // The pilot lets go of the button, which ends the tree's own watch of the right button.
        PostMessageA(GetDlgItem(dialog, IDC_TREE), WM_RBUTTONUP, 0, 0);
    } else if (withMenu) {
        failure = "(the tree's menu did not open)";
    }
    written = failure.empty() && save(picture, pictureName);
    // Cancel leaves the database as it was; the About box closes only with OK.
    PostMessageA(dialog, WM_COMMAND, GetDlgItem(dialog, IDC_TREE) ? IDCANCEL : IDOK, 0);
}

// The right button pressed on the selected item, as the pilot opens the tree's menu.
void openTreeMenu(HWND tree) {
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT r = {};
    std::memcpy(&r, &item, sizeof item);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    PostMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(r.left + 8, r.bottom));
}

void CALLBACK settle(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    if (HWND tree = GetDlgItem(dialog, IDC_TREE)) {
        expandFolders(tree);
        if (withMenu)
            openTreeMenu(tree);
    }
    SetTimer(dialog, 2, 500, shoot);
}

LRESULT CALLBACK watch(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char kind[16];
        GetClassNameA(window, kind, sizeof kind);
        if (lstrcmpA(kind, "#32770") == 0 &&
            (GetDlgItem(window, IDC_TREE) || GetDlgItem(window, IDOK)))
            SetTimer(window, 1, 300, settle);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string besideProgram(const char* name) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_screenshot DATABASE\n");
        return 2;
    }
    if (!CopyFileA(argv[1], databaseFileName, FALSE)) {
        std::fprintf(stderr, "dialog_screenshot: cannot copy %s here\n", argv[1]);
        return 1;
    }
    HMODULE library = LoadLibraryA(besideProgram(dialogLibraryFileName).c_str());
    if (!library) {
        std::fprintf(stderr, "dialog_screenshot: %s cannot be loaded\n", dialogLibraryFileName);
        return 1;
    }
    auto settingDialog =
        exportFunction(settingDialogExport, GetProcAddress(library, settingDialogExport.name));
    auto aboutDialog =
        exportFunction(aboutDialogExport, GetProcAddress(library, aboutDialogExport.name));
    HHOOK hook = SetWindowsHookExA(WH_CBT, watch, nullptr, GetCurrentThreadId());
    ExchangeRecord aircraft = {};
    int status = 0;
    struct Picture {
        const char* name;
        bool settings;
        bool menu;
    };
    const Picture pictures[] = {{"settings-dialog.png", true, false},
                                {"tree-menu.png", true, true},
                                {"about-box.png", false, false}};
    for (const auto& [name, settings, menu] : pictures) {
        pictureName = name;
        withMenu = menu;
        written = false;
        if (settings)
            settingDialog(&aircraft);
        else
            aboutDialog();
        if (!written) {
            std::fprintf(stderr, "dialog_screenshot: %s not written %s\n", name, failure.c_str());
            status = 1;
        } else {
            std::printf("%s\n", name);
        }
    }
    UnhookWindowsHookEx(hook);
    FreeLibrary(library);
    return status;
}
