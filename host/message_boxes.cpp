#include "message_boxes.h"

#include <stdexcept>

static MessageBoxAnswerer* activeAnswerer = nullptr;

static std::string windowText(HWND window) {
    char text[1024];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

static std::string className(HWND window) {
    char name[64];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

bool isMessageBox(HWND window) {
    int unnumbered = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        unnumbered += GetDlgCtrlID(child) == 0xFFFF;
    return unnumbered == 1;
}

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<int> answers)
    : answers_(std::move(answers)), hook_(hookThisThread(WH_CBT, &MessageBoxAnswerer::hook)) {
    if (activeAnswerer || !hook_)
        throw std::logic_error("one message box answerer at a time");
    activeAnswerer = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    activeAnswerer = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeAnswerer) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (className(window) == "#32770" && isMessageBox(window))
            activeAnswerer->answer(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxAnswerer::setAnswers(std::vector<int> answers) {
    answers_ = std::move(answers);
    nextAnswer_ = 0;
}

void MessageBoxAnswerer::answer(HWND box) {
    SeenMessageBox seen{windowText(box), windowText(GetDlgItem(box, 0xFFFF)), {}, nullptr};
    int firstButton = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = className(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (kind == "Button" && (style & WS_VISIBLE)) {
            seen.buttons.push_back(windowText(child));
            if (!firstButton)
                firstButton = GetDlgCtrlID(child);
        } else if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        }
    }
    seen_.push_back(seen);
    int id = nextAnswer_ < answers_.size() ? answers_[nextAnswer_++] : firstButton;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}
