#include "button_names.h"

#include <cstring>

#include "gauge/button_table.h"

namespace {

struct ButtonHandler {
    const char* label;
    const char* handler;
};

#define TARVIX_BUTTON_HANDLER(label, x, y, width, height, handler, upperRow, box, lit)             \
    { label, #handler }
constexpr ButtonHandler handlers[] = {TARVIX_PANEL_BUTTONS(TARVIX_BUTTON_HANDLER)};
#undef TARVIX_BUTTON_HANDLER

} // namespace

int32_t buttonIndex(const std::string& label) {
    for (int32_t i = 0; i < panelButtonCount; ++i) {
        if (label == panelButtons[i].label)
            return i;
    }
    return -1;
}

std::string buttonLabelOf(const char* handler) {
    for (const ButtonHandler& button : handlers)
        if (std::strcmp(button.handler, handler) == 0)
            return button.label;
    return "";
}

bool opensSettingsDialog(const std::string& label) {
    return label == buttonLabelOf("onDialog");
}

bool opensAboutBox(const std::string& label) {
    return label == buttonLabelOf("onAbout");
}
