#include "settings_toolbar.h"

#include <commctrl.h>

#include <iterator>

#include "dialog_resources.h"
#include "settings_state.h"

namespace {

struct ToolbarButton {
    int image; // in bitmap 169; -1 for a separator
    int command;
    int treeCommand;
};

const ToolbarButton toolbarButtons[] = {
    {0, IDS_NEW_AIRPORT, IDM_NEW_AIRPORT},
    {1, IDS_NEW_AIRPORT_FOLDER, IDM_NEW_AIRPORT_FOLDER},
    {-1, 0, 0},
    {2, IDS_NEW_TOUR, IDM_NEW_TOUR},
    {3, IDS_NEW_TOUR_FOLDER, IDM_NEW_TOUR_FOLDER},
    {-1, 0, 0},
    {4, IDS_CUT, IDM_CUT},
    {5, IDS_COPY, IDM_COPY},
    {6, IDS_PASTE, IDM_PASTE},
    {-1, 0, 0},
    {7, IDS_DELETE, IDM_DELETE},
};
constexpr int buttonCount = static_cast<int>(std::size(toolbarButtons));
constexpr int imageCount = 8;

} // namespace

int treeCommandOf(int toolbarCommand) {
    for (const ToolbarButton& button : toolbarButtons) {
        if (button.image >= 0 && button.command == toolbarCommand)
            return button.treeCommand;
    }
    return 0;
}

bool createSettingsToolbar(HWND dialog, HWND host, HINSTANCE library) {
    settings.previousToolbarHostProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&toolbarHostProc)));
    TBBUTTON buttons[buttonCount] = {};
    for (int i = 0; i < buttonCount; ++i) {
        const ToolbarButton& b = toolbarButtons[i];
        buttons[i].iBitmap = b.image < 0 ? 0 : b.image;
        buttons[i].idCommand = b.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = b.image < 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
    }
    settings.toolbar =
        CreateToolbarEx(host, WS_CHILD | WS_VISIBLE, IDC_TOOLBAR, imageCount, library, IDB_TOOLBAR,
                        buttons, buttonCount, 0, 0, 10, 10, sizeof(TBBUTTON));
    settings.tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, library, nullptr);
    if (!settings.toolbar || !settings.tooltip)
        return false;
    for (int i = 0; i < buttonCount; ++i) {
        if (toolbarButtons[i].image < 0)
            continue;
        // The first layout of the structure, which every version of the control accepts.
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = settings.toolbar;
        tool.uId = static_cast<UINT_PTR>(toolbarButtons[i].command);
        SendMessageA(settings.toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&tool.rect));
        tool.hinst = library;
        tool.lpszText = MAKEINTRESOURCEA(toolbarButtons[i].command);
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
