// Module-wide state of the gauge and the functions its files share, grouped by source file.
#pragma once
#include <cstdint>

#include "common/exchange_record.h"
#include "common/panel_records.h"

struct TourPoint {
    double latitude;  // raw
    double longitude; // raw
};

struct TourScreenPoint {
    uint8_t bytes[16]; // filled by the moving map
};

// Initialised here, field by field: the simulator may load the module and call its routines in
// any order, and install and initialize set only what they own.
struct GaugeState {
    // The dialog library and the waypoints it supplies.
    void* dialogLibrary = nullptr; // the loaded dialog library, or null
    ExchangeRecord exchange{};     // active destination or tour item, mode, coupling flags
    // Start of the current leg. Nothing in the gauge reads it, but fetching it steps the library
    // back to the previous item and reads it there, calls the library sees, so it stays.
    ExchangeRecord legStart{};
    ExchangeRecord nextWaypoint{}; // tour item after the active one

    // The figures of the active leg, renewed every update.
    double activeDistance = 1.0; // nm to the active waypoint
    double switchDistance = 0.1; // nm at which a tour advances
    double steerHeading = 0.0;   // degrees magnetic, wind-corrected

    // Autopilot coupling.
    int32_t apCoupled = 0; // 1 while the gauge steers the autopilot

    // What the kept block carries across reloads.
    double mapScale = 5.0;              // pixels per nautical mile, 0.2 to 20
    double routeOrigin[2] = {0.0, 0.0}; // raw latitude, longitude taken when the dialog closes
                                        // in airport mode
    int32_t spareFlag = 0;

    // The current tour's positions for the map, allocated and released together.
    TourPoint* tourPoints = nullptr; // all items of the current tour, or null
    TourScreenPoint* tourScreenPoints = nullptr;
    int32_t tourPointCount = 0;

    // The screen.
    int32_t screenWidth = 0; // design size: bitmap 102
    int32_t screenHeight = 0;
    char titleText[17] = {};   // the 15-character title line
    int32_t updateCounter = 0; // update calls since the last redraw, 0 to 12
};

extern GaugeState gauge;

// records.cpp: what the simulator reads from the module
extern ImageElement bezelElement;
extern ImageElement screenElement;
extern GaugeHeader gaugeHeader;
extern MouseRect mouseTable[10];
constexpr int32_t bezelBitmapId = 101;
constexpr int32_t screenBitmapId = 102;

// panel_calls.cpp: the simulator's services, each skipped when the simulator lacks it
uint32_t elementQuery(ImageElement* element);
void elementInstall(ImageElement* element, void* instance);
void elementInitialize(ImageElement* element);
void elementUpdate(ImageElement* element);
void elementGenerate(ImageElement* element, uint32_t phase);
void elementDraw(ImageElement* element);
void elementKill(ImageElement* element);
void mouseListInstall(MouseRect* table, GaugeHeader* header, int32_t* sizePair);
void mouseListRegister(MouseRect* table, GaugeHeader* header);
void mouseListUnregister(MouseRect* table, GaugeHeader* header);
void sendKeyEvent(int32_t event, int32_t value);
void registerVariables();
double lookupVariable(int32_t id);
double lastVariableValue(int32_t id); // what the last lookup left in it, without a new lookup

// dialog_link.cpp: the dialog library, bound by name before every call; each call returns 0
// when it was skipped (no library, or no such export)
void loadDialogLibrary();
void freeDialogLibrary();
int32_t callGetData(ExchangeRecord* record);
int32_t callSetData(ExchangeRecord* record);
int32_t callSettingDialog(ExchangeRecord* record);
int32_t callAboutDialog();
int32_t callGetTourItem(int32_t forward, int32_t* index);
bool dialogExportPresent(const char* name); // the library is loaded and exports name

// persistence.cpp: map scale, route origin and spare flag across kill and initialize
int32_t saveGaugeState();
int32_t restoreGaugeState();

// navigation.cpp
double gaugeSpeed(); // currentSpeed of the simulator's speed variables
// The active leg's distance and bearing, then the switch distance from that bearing; false,
// changing nothing, when the aircraft's position is not a number.
bool updateLegFigures();
void applyWindCorrection();

// route.cpp
void fetchLegStart(int32_t index);
void fetchNextWaypoint(int32_t index);
void buildTourPoints(int32_t index);
void releaseTourPoints();
void stepTourItem(int32_t forward); // "Prev" (0) and "Next" (1) in tour mode
void sequenceTourWaypoints();

// autopilot.cpp
bool exchangeWantsCoupling(); // the coupling flag of exchange's own mode is set
void applyAutopilot();
void sendCoupleSequence();
void sendUncoupleSequence();
void sendAltitudeHoldOff();
void refreshAutopilotHeading();

// canvas.cpp
void createCanvas(ImageElement element);
void releaseCanvas();

// screen_draw.cpp
void drawScreen(ImageElement element);

// panel_buttons.cpp
int32_t __stdcall onScaleUp(void* point, int32_t flags);
int32_t __stdcall onScaleDown(void* point, int32_t flags);
int32_t __stdcall onDialog(void* point, int32_t flags);
int32_t __stdcall onAbout(void* point, int32_t flags);
int32_t __stdcall onAutopilot(void* point, int32_t flags);
int32_t __stdcall onPrev(void* point, int32_t flags);
int32_t __stdcall onNext(void* point, int32_t flags);

// The two exported data records (undecorated names in the module's export table).
extern "C" struct Linkage Linkage;
extern "C" struct ImportTable ImportTable;
