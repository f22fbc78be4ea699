// The stand-in for the simulator's panel system: loads a gauge module, serves its PanelServices
// (elements with their image records, the mouse list, key events, variables) and runs its
// lifecycle. One simulator, one gauge: the state is module-wide, as in the simulator.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/panel_records.h"
#include "button_names.h"

struct KeyEventRecord {
    int32_t event;
    int32_t value;
};

// One call the gauge made into the element or mouse services, in order.
struct ServiceCall {
    uint32_t offset;     // PanelServiceOffset
    const void* subject; // the element or mouse table
    uint32_t argument;   // generate's phase, else 0
};

// gauge_loader.cpp
// Loads the module at path and checks what the simulator reads: module id, import table id,
// header version. On failure returns false with a one-line reason and leaves nothing loaded.
bool loadGauge(const std::string& path, std::string& error);
void unloadGauge();
bool gaugeLoaded();
const GaugeHeader* loadedHeader();

// The lifecycle, as the simulator calls it.
uint32_t hostQuery();
void hostInstall();
void hostInitialize();
void hostUpdate();
void hostGenerate(uint32_t phase);
void hostDraw();
void hostKill();
void hostFrame(); // one simulator frame: update, generate, draw

// panel_services.cpp
// The services table handed to the gauge; the loader writes its address into ImportTable.
PanelServices* panelServices();
void resetPanel(); // forget recorded calls, events and registrations (not the variables)

void setVariable(int32_t id, double value);
double variable(int32_t id);
const std::vector<int32_t>& registeredVariableIds();
// The variables whose lookup was refused because the gauge had not registered their record, each
// once, in order (and said on stderr). Registrations last until the module is unloaded.
const std::vector<int32_t>& refusedLookups();
void forgetVariableRecords(); // the module is gone: its records with it

const std::vector<KeyEventRecord>& keyEvents();
const std::vector<ServiceCall>& serviceCalls();

// From the next element install on, the image of the element showing this bitmap is built
// width pixels wide (rows of exactly width bytes) and byteSize bytes long, its pixels taken from
// the bitmap by nearest neighbour; byteSize need not be whole rows, and width may be 0. This is
// how tests give the gauge images that are not the design size.
void setImageSize(int32_t resourceId, int32_t width, uint32_t byteSize);

// The image record that element install built for the element showing this bitmap, or null.
const ImageRecord* installedImage(int32_t resourceId);

// The mouse table and size pair handed over by mouse-list install, while registered.
const MouseRect* installedMouseTable();
const int32_t* installedMouseSize();

// The centre of the n-th button (0-based, in table order) of the installed mouse table.
bool buttonCentre(int32_t n, int32_t& x, int32_t& y);

// A readable name for an autopilot key event ("heading" for 0x101FA), or "" when unknown.
const char* keyEventName(int32_t event);

// Clicks the point (gauge pixels) with the left button. Returns true when a registered button
// lies under it; *result gets what its handler returned.
bool clickGauge(int32_t x, int32_t y, int32_t* result);

// panel_picture.cpp
// The panel as the pilot sees it: the bezel image with every installed child image over it
// (value 0 transparent), in the colours of the panel colour table. RGB, rows top to bottom.
struct PanelIndices {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> indices; // panel colour table indices
};
bool composePanelIndices(PanelIndices& picture, std::string& error);

struct PanelPicture {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> rgb;
};
bool composePanel(PanelPicture& picture, std::string& error);
bool writePng(const std::string& path, const PanelPicture& picture, std::string& error);
