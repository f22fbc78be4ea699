#include "tree_commands.h"

#include <commctrl.h>

#include "dialog_resources.h"
#include "dialog_state.h"
#include "editor_dispatch.h"
#include "settings_state.h"

namespace {

// Made anew on each right-button press: each group after the first begins with a divider that
// breaks the menu into a new column, so the groups stand side by side.
void showTreeMenu(HWND tree, LPARAM clientPoint) {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (const TreeCommand& command : treeCommands) {
        if (command.newGroup)
            AppendMenuA(menu, MF_SEPARATOR | MF_MENUBREAK, 0, nullptr);
        char text[32] = "";
        LoadStringA(static_cast<HINSTANCE>(libraryModule), static_cast<UINT>(command.button), text,
                    sizeof text);
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command.id), text);
    }
    POINT at = {static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    ClientToScreen(tree, &at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, tree, nullptr);
    DestroyMenu(menu);
}

bool isPilotInput(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isPilotInput(message) && (!settings.airportAltitudeValid || !settings.tourAltitudeValid)) {
        SetFocus(tree);
        return 0;
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_INSERT) {
            const bool shift = GetKeyState(VK_SHIFT) < 0;
            SendMessageA(tree, WM_COMMAND, shift ? IDM_NEW_AIRPORT_FOLDER : IDM_NEW_AIRPORT, 0);
        } else if (wParam == VK_DELETE) {
            SendMessageA(tree, WM_COMMAND, IDM_DELETE, 0);
        }
        break;
    case WM_COMMAND:
        runTreeCommand(tree, LOWORD(wParam));
        break;
    case WM_RBUTTONDOWN:
        showTreeMenu(tree, lParam);
        break;
    default:
        break;
    }
    return CallWindowProcA(settings.previousTreeProc, tree, message, wParam, lParam);
}
