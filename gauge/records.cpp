// The records the simulator reads in place: linkage, import table, header, image elements and
// the mouse rectangle table. Laid out exactly as the panel system expects them.
#include "button_table.h"
#include "gauge_state.h"
#include "lifecycle.h"

static void __stdcall moduleInit() {}
static void __stdcall moduleDeinit() {}

static ImageElement* const screenChildren[] = {&screenElement, nullptr};
static ImageElement* const gaugeElements[] = {&bezelElement, nullptr};
static const char gaugeName[] = "Tarvix42";

ImageElement screenElement = {0,
                              screenBitmapId,
                              {0, 0, 0, 0, 0, 0},
                              &gaugeHeader,
                              nullptr,
                              nullptr,
                              nullptr,
                              5,
                              {0, 0},
                              nullptr,
                              {0, 0, 0, 0},
                              {}};

ImageElement bezelElement = {0,
                             bezelBitmapId,
                             {0, 0, 0, 0, 0, 0},
                             &gaugeHeader,
                             nullptr,
                             screenChildren,
                             nullptr,
                             1,
                             {0, 0},
                             nullptr,
                             {0, 0, 0, 0},
                             {}};

GaugeHeader gaugeHeader = {
    gaugeHeaderVersion, gaugeName,     gaugeElements, gaugeQuery, gaugeInstall, gaugeInitialize,
    gaugeUpdate,        gaugeGenerate, gaugeDraw,     gaugeKill,  {},           {}};

#define TARVIX_MOUSE_BUTTON(label, x, y, width, height, handler, upperRow, box, lit)               \
    { mouseButton, x, y, width, height, cursorHand, 0, mouseLeftSingle, 0, handler, 0 }

static_assert(panelButtonCount + 3 == sizeof mouseTable / sizeof mouseTable[0],
              "a group around the buttons, then the end entry");
MouseRect mouseTable[10] = {
    {mouseGroupBegin, 0, 0, 0, 0, cursorNone, 0, 0, 0, nullptr, 0},
    TARVIX_PANEL_BUTTONS(TARVIX_MOUSE_BUTTON),
    {mouseGroupEnd, 0, 0, 0, 0, cursorNone, 0, 0, 0, nullptr, 0},
    {mouseEnd, 0, 0, 0, 0, cursorNone, 0, 0, 0, nullptr, 0},
};
#undef TARVIX_MOUSE_BUTTON

extern "C" {
struct Linkage Linkage = {
    linkageModuleId, moduleInit, moduleDeinit, {0, 0, 0}, {&gaugeHeader, nullptr}};
struct ImportTable ImportTable = {importTableId, nullptr, {0, 0}};
}
