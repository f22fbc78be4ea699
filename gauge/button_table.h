// The gauge's seven push-buttons in one table: the label the pilot reads, the rectangle that
// takes the click (gauge pixels at the design size 280 x 316), the handler behind it, the box
// the screen draws it in, and when its label is black rather than olive. The mouse table, the
// faces on the screen and the stand-in simulator's clicks by label are all made from it.
#pragma once
#include <cstdint>

#include "common/exchange_record.h"
#include "kept_state.h"

// When a button's label is black; otherwise its function is off or at its limit and the label
// is olive.
enum class ButtonLit : uint8_t {
    always,
    belowLargestScale,
    aboveSmallestScale,
    whileCoupled,
    inTourMode,
};

// BUTTON(label, x, y, width, height, handler, upper row, box in its row, when lit)
// clang-format off
#define TARVIX_PANEL_BUTTONS(BUTTON)                                                      \
    BUTTON("+",     30, 262, 38, 15, onScaleUp,   true,  0, ButtonLit::belowLargestScale),  \
    BUTTON("-",     75, 262, 38, 15, onScaleDown, true,  1, ButtonLit::aboveSmallestScale), \
    BUTTON("DLG",   30, 284, 38, 15, onDialog,    false, 0, ButtonLit::always),             \
    BUTTON("INF",   75, 284, 38, 15, onAbout,     false, 1, ButtonLit::always),             \
    BUTTON("AP",   120, 284, 38, 15, onAutopilot, false, 2, ButtonLit::whileCoupled),       \
    BUTTON("Prev", 165, 284, 38, 15, onPrev,      false, 3, ButtonLit::inTourMode),         \
    BUTTON("Next", 210, 284, 38, 15, onNext,      false, 4, ButtonLit::inTourMode)
// clang-format on

// The table without its handlers, for what does not run inside the gauge module.
struct PanelButton {
    const char* label;
    int32_t x, y, width, height; // where a click lands
    bool upperRow;
    int32_t box; // 0-based place in its row
    ButtonLit lit;
};

#define TARVIX_BUTTON_FACE(label, x, y, width, height, handler, upperRow, box, lit)                \
    { label, x, y, width, height, upperRow, box, lit }
constexpr PanelButton panelButtons[] = {TARVIX_PANEL_BUTTONS(TARVIX_BUTTON_FACE)};
#undef TARVIX_BUTTON_FACE
constexpr int32_t panelButtonCount = sizeof panelButtons / sizeof panelButtons[0];

constexpr bool buttonLabelBlack(ButtonLit lit, double mapScale, int32_t apCoupled, int32_t mode) {
    switch (lit) {
    case ButtonLit::belowLargestScale:
        return mapScale < maximumMapScale;
    case ButtonLit::aboveSmallestScale:
        return mapScale > minimumMapScale;
    case ButtonLit::whileCoupled:
        return apCoupled != 0;
    case ButtonLit::inTourMode:
        return mode != airportMode;
    case ButtonLit::always:
        break;
    }
    return true;
}
