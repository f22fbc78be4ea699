#include "settings_toolbar.h"

#include <commctrl.h>

#include "dialog_resources.h"
#include "settings_state.h"
#include "editor_dispatch.h"

int treeCommandOf(int toolbarCommand) {
    for (const TreeCommand& command : treeCommands) {
        if (command.button == toolbarCommand)
            return command.id;
    }
    return 0;
}

bool createSettingsToolbar(HWND dialog, HWND host, HINSTANCE library) {
    settings.previousToolbarHostProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&toolbarHostProc)));
    // The commands, each new group after a separator.
    TBBUTTON buttons[2 * treeCommandCount] = {};
    int placed = 0;
    for (int i = 0; i < treeCommandCount; ++i) {
        if (treeCommands[i].newGroup) {
            buttons[placed].fsState = TBSTATE_ENABLED;
            buttons[placed++].fsStyle = TBSTYLE_SEP;
        }
        buttons[placed].iBitmap = i;
        buttons[placed].idCommand = treeCommands[i].button;
        buttons[placed].fsState = TBSTATE_ENABLED;
        buttons[placed++].fsStyle = TBSTYLE_BUTTON;
    }
    settings.toolbar =
        CreateToolbarEx(host, WS_CHILD | WS_VISIBLE, IDC_TOOLBAR, treeCommandCount, library,
                        IDB_TOOLBAR, buttons, placed, 0, 0, 10, 10, sizeof(TBBUTTON));
    settings.tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, library, nullptr);
    if (!settings.toolbar || !settings.tooltip)
        return false;
    for (int i = 0; i < placed; ++i) {
        if (buttons[i].fsStyle == TBSTYLE_SEP)
            continue;
        // The first layout of the structure, which every version of the control accepts.
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = settings.toolbar;
        tool.uId = static_cast<UINT_PTR>(buttons[i].idCommand);
        SendMessageA(settings.toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&tool.rect));
        tool.hinst = library;
        tool.lpszText = MAKEINTRESOURCEA(buttons[i].idCommand);
        SendMessageA(settings.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageA(settings.toolbar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(settings.tooltip), 0);
    return true;
}

// The toolbar's parent receives its clicks: each goes on to the tree as the tree's command.
LRESULT CALLBACK toolbarHostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (int command = treeCommandOf(LOWORD(wParam)))
            SendDlgItemMessageA(GetParent(host), IDC_TREE, WM_COMMAND, command, 0);
    }
    return CallWindowProcA(settings.previousToolbarHostProc, host, message, wParam, lParam);
}
