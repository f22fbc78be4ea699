// The gauge's lifecycle as the simulator drives it. Each routine is the sequence of steps; the
// steps themselves live with their subsystems.
#include "lifecycle.h"

#include <windows.h>

#include "common/position_units.h"
#include "common/sim_ids.h"
#include "gauge_state.h"
#include "title_text.h"
#include "waypoint_record.h"

GaugeState gauge;

// Redraw on every 13th update call.
constexpr int32_t updatesPerRedraw = 13;

static void measureScreenBitmap(void* instance) {
    HBITMAP bitmap =
        LoadBitmapA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(screenBitmapId));
    if (!bitmap)
        return;
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) == sizeof info) {
        gauge.screenWidth = info.bmWidth;
        gauge.screenHeight = info.bmHeight;
    }
    DeleteObject(bitmap);
}

uint32_t __stdcall gaugeQuery() {
    return elementQuery(&bezelElement);
}

void __stdcall gaugeInstall(void* instance) {
    // Before the leg's start is looked up below, and before anything else could read one.
    registerVariables();
    elementInstall(&bezelElement, instance);
    int32_t* sizePair = bezelElement.image ? &bezelElement.image->width : nullptr;
    mouseListInstall(mouseTable, &gaugeHeader, sizePair);
    mouseListRegister(mouseTable, &gaugeHeader);
    measureScreenBitmap(instance);
    loadDialogLibrary();
    clearWaypoint(gauge.legStart);
    gauge.legStart.latitude = lookupVariable(varLatitude);
    gauge.legStart.longitude = lookupVariable(varLongitude);
}

static void prepareDestination() {
    if (gauge.exchange.mode == airportMode) {
        emptyPosition(gauge.nextWaypoint);
        gauge.switchDistance = 0.1;
        return;
    }
    int32_t index = gauge.exchange.recordNumber;
    clearWaypoint(gauge.legStart);
    clearWaypoint(gauge.nextWaypoint);
    fetchLegStart(index);
    fetchNextWaypoint(index);
    buildTourPoints(index);
}

void __stdcall gaugeInitialize() {
    elementInitialize(&bezelElement);
    callGetData(&gauge.exchange);
    prepareDestination();
    unscrambleTitle(storedTitle, gauge.titleText, sizeof gauge.titleText);
    if (gauge.exchange.airportAutopilot == 1 || gauge.exchange.tourAutopilot == 1)
        gauge.apCoupled = 1;
    createCanvas(screenElement);
    restoreGaugeState();
    if (gauge.apCoupled == 1)
        applyAutopilot();
}

void __stdcall gaugeUpdate() {
    // The switch distance needs the bearing before the wind correction turns it.
    bool located = updateLegFigures();
    if (located)
        applyWindCorrection();
    refreshAutopilotHeading();
    gauge.updateCounter += 1;
    if (located)
        sequenceTourWaypoints();
    if (gauge.updateCounter >= updatesPerRedraw) {
        gauge.updateCounter = 0;
        loadDialogLibrary();
        callGetData(&gauge.exchange);
        elementUpdate(&bezelElement);
        drawScreen(screenElement);
        elementInitialize(&screenElement);
    }
}

void __stdcall gaugeGenerate(uint32_t phase) {
    elementGenerate(&bezelElement, phase);
}

void __stdcall gaugeDraw() {
    elementDraw(&bezelElement);
}

void __stdcall gaugeKill() {
    mouseListUnregister(mouseTable, &gaugeHeader);
    elementKill(&bezelElement);
    releaseTourPoints();
    releaseCanvas();
    freeDialogLibrary();
    saveGaugeState();
}
