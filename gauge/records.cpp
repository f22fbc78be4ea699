// The records the simulator reads in place: linkage, import table, header, image elements and
// the mouse rectangle table. Laid out exactly as the panel system expects them.
#include "gauge_state.h"
#include "lifecycle.h"

static void __stdcall moduleInit() {}
static void __stdcall moduleDeinit() {}

static ImageElement* const screenChildren[] = {&screenElement, nullptr};
static ImageElement* const gaugeElements[] = {&bezelElement, nullptr};
static const char gaugeName[] = "Tarvix42";

ImageElement screenElement = {
    0,      screenBitmapId, {0, 0, 0, 0, 0, 0}, &gaugeHeader, nullptr, nullptr, nullptr, 5,
    {0, 0}, nullptr,        {0, 0, 0, 0}};

ImageElement bezelElement = {
    0,      bezelBitmapId, {0, 0, 0, 0, 0, 0}, &gaugeHeader, nullptr, screenChildren, nullptr, 1,
    {0, 0}, nullptr,       {0, 0, 0, 0}};

GaugeHeader gaugeHeader = {gaugeHeaderVersion,
                           gaugeName,
                           gaugeElements,
                           gaugeQuery,
                           gaugeInstall,
                           gaugeInitialize,
                           gaugeUpdate,
                           gaugeGenerate,
                           gaugeDraw,
                           gaugeKill,
                           {}};

#define TARVIX_BUTTON(x, y, handler)                                                               \
    { mouseButton, x, y, 38, 15, cursorHand, 0, mouseLeftSingle, 0, handler, 0 }

MouseRect mouseTable[10] = {
    {mouseGroupBegin, 0, 0, 0, 0, cursorNone, 0, 0, 0, nullptr, 0},
    TARVIX_BUTTON(30, 262, onScaleUp),
    TARVIX_BUTTON(75, 262, onScaleDown),
    TARVIX_BUTTON(30, 284, onDialog),
    TARVIX_BUTTON(75, 284, onAbout),
    TARVIX_BUTTON(120, 284, onAutopilot),
    TARVIX_BUTTON(165, 284, onPrev),
    TARVIX_BUTTON(210, 284, onNext),
    {mouseGroupEnd, 0, 0, 0, 0, cursorNone, 0, 0, 0, nullptr, 0},
    {mouseEnd, 0, 0, 0, 0, cursorNone, 0, 0, 0, nullptr, 0},
};

extern "C" {
struct Linkage Linkage = {
    linkageModuleId, moduleInit, moduleDeinit, {0, 0, 0}, {&gaugeHeader, nullptr}};
struct ImportTable ImportTable = {importTableId, nullptr, {0, 0}};
}
