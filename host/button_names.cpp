#include "host/button_names.h"

#include "gauge/button_table.h"

int32_t buttonIndex(const std::string& label) {
    for (int32_t i = 0; i < panelButtonCount; ++i) {
        if (label == panelButtons[i].label)
            return i;
    }
    return -1;
}
