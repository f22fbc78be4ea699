// Click handlers behind the mouse table. Each ignores the point and the flags and answers 1.
#include <windows.h>

#include "common/module_contract.h"
#include "common/sim_ids.h"
#include "gauge_state.h"
#include "kept_state.h"
#include "waypoint_record.h"

static void beep() {
    MessageBeep(0);
}

int32_t __stdcall onScaleUp(void*, int32_t) {
    beep();
    double& scale = gauge.mapScale;
    scale += scale >= 5 ? 5 : (scale >= 1 ? 1 : 0.2);
    if (scale > maximumMapScale)
        scale = maximumMapScale;
    return 1;
}

int32_t __stdcall onScaleDown(void*, int32_t) {
    beep();
    double& scale = gauge.mapScale;
    scale -= scale > 5 ? 5 : (scale > 1 ? 1 : 0.2);
    if (scale < minimumMapScale)
        scale = minimumMapScale;
    return 1;
}

// Leg start and next waypoint around item index, fetched afresh; the callers renew the leg
// figures for them.
static void refetchLeg(int32_t index) {
    clearWaypoint(gauge.legStart);
    clearWaypoint(gauge.nextWaypoint);
    fetchLegStart(index);
    fetchNextWaypoint(index);
}

int32_t __stdcall onDialog(void*, int32_t) {
    beep();
    if (gauge.dialogLibrary) {
        if (dialogExportPresent(setDataExport.name)) {
            gauge.exchange.aircraftLatitude = lookupVariable(varLatitude);
            gauge.exchange.aircraftLongitude = lookupVariable(varLongitude);
            callSetData(&gauge.exchange);
        }
        callSettingDialog(&gauge.exchange);
        callGetData(&gauge.exchange);
    }
    gauge.apCoupled = exchangeWantsCoupling() ? 1 : 0;
    if (gauge.apCoupled)
        sendCoupleSequence();
    else
        sendUncoupleSequence();
    if (gauge.exchange.mode == tourMode) {
        int32_t index = gauge.exchange.recordNumber;
        refetchLeg(index);
        updateLegFigures();
        buildTourPoints(index);
    } else {
        gauge.routeOrigin[0] = lookupVariable(varLatitude);
        gauge.routeOrigin[1] = lookupVariable(varLongitude);
    }
    return 1;
}

int32_t __stdcall onAbout(void*, int32_t) {
    beep();
    callAboutDialog();
    return 1;
}

int32_t __stdcall onAutopilot(void*, int32_t) {
    beep();
    ExchangeRecord& exchange = gauge.exchange;
    gauge.apCoupled = gauge.apCoupled ? 0 : 1;
    if (gauge.apCoupled) {
        bool airport = exchange.mode == airportMode;
        exchange.airportAutopilot = airport ? 1 : 0;
        exchange.tourAutopilot = airport ? 0 : 1;
        sendCoupleSequence();
    } else {
        gauge.spareFlag = 0;
        sendUncoupleSequence();
        exchange.airportAutopilot = 0;
        exchange.tourAutopilot = 0;
    }
    callSetData(&exchange);
    if (exchange.mode == tourMode) {
        refetchLeg(exchange.recordNumber);
        updateLegFigures();
    }
    return 1;
}

static int32_t stepTour(int32_t forward) {
    if (gauge.exchange.mode == tourMode) {
        beep();
        stepTourItem(forward);
    }
    gauge.activeDistance = 1.0;
    applyAutopilot();
    return 1;
}

int32_t __stdcall onPrev(void*, int32_t) {
    return stepTour(0);
}
int32_t __stdcall onNext(void*, int32_t) {
    return stepTour(1);
}
