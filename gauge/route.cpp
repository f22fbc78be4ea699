// Route following: the leg start and the next waypoint around the active tour item, the table of
// the tour's positions for the map, and the arrival rule that advances a coupled tour. The
// library holds the tour; the gauge walks it by stepping the library's current item.
#include <windows.h>

#include "../common/sim_ids.h"
#include "gauge_state.h"

// Tours hold at most 999 items; a library that kept returning growing indices must not keep
// the gauge stepping for ever.
constexpr int32_t longestWalk = 65536;

static void clearPosition(ExchangeRecord& record) {
    record.latitude = 0.0;
    record.longitude = 0.0;
}

static void noLeg(ExchangeRecord& record) {
    clearPosition(record);
    gauge.switchDistance = 0.1;
}

void fetchLegStart(int32_t index) {
    if (gauge.exchange.mode != 1) {
        noLeg(gauge.legStart);
        return;
    }
    loadDialogLibrary();
    int32_t previous = 0;
    if (!callGetTourItem(0, &previous))
        return;
    if (previous > index) { // item index is the tour's first: the leg starts at the aircraft
        gauge.legStart.latitude = lookupVariable(varLatitude);
        gauge.legStart.longitude = lookupVariable(varLongitude);
        gauge.switchDistance = 0.1;
    } else if (!callGetData(&gauge.legStart)) {
        noLeg(gauge.legStart);
    }
    int32_t back = 0;
    callGetTourItem(1, &back);
}

void fetchNextWaypoint(int32_t index) {
    if (gauge.exchange.mode != 1) {
        noLeg(gauge.nextWaypoint);
        return;
    }
    loadDialogLibrary();
    int32_t next = 0;
    if (!callGetTourItem(1, &next))
        return;
    if (next < index) // item index is the tour's last
        noLeg(gauge.nextWaypoint);
    else if (!callGetData(&gauge.nextWaypoint))
        noLeg(gauge.nextWaypoint);
    int32_t back = 0;
    callGetTourItem(0, &back);
}

void releaseTourPoints() {
    if (gauge.tourPoints)
        GlobalFree(gauge.tourPoints);
    if (gauge.tourScreenPoints)
        GlobalFree(gauge.tourScreenPoints);
    gauge.tourPoints = nullptr;
    gauge.tourScreenPoints = nullptr;
    gauge.tourPointCount = 0;
}

// Steps in one direction while the returned index keeps moving away from index, counting the
// steps into index; returns false when the library cannot step.
static bool walkToEnd(int32_t forward, int32_t& index) {
    for (int32_t steps = 0; steps < longestWalk; ++steps) {
        int32_t reached = 0;
        if (!callGetTourItem(forward, &reached))
            return false;
        bool moved = forward ? reached > index : reached < index;
        if (!moved)
            return true;
        index += forward ? 1 : -1;
    }
    return true;
}

void buildTourPoints(int32_t index) {
    releaseTourPoints();
    if (gauge.exchange.mode != 1)
        return;
    loadDialogLibrary();
    int32_t step = 0;
    // Forward until the step wraps onto the first item, then back onto the last.
    if (!walkToEnd(1, index) || !callGetTourItem(0, &step))
        return;
    int32_t last = index;
    // Back until the step wraps onto the last item, then forward onto the first.
    if (!walkToEnd(0, index) || !callGetTourItem(1, &step))
        return;
    int32_t count = last - index + 1;
    if (count < 1)
        return;
    gauge.tourPoints = static_cast<TourPoint*>(GlobalAlloc(GPTR, sizeof(TourPoint) * count));
    gauge.tourScreenPoints =
        static_cast<TourScreenPoint*>(GlobalAlloc(GPTR, sizeof(TourScreenPoint) * count));
    if (!gauge.tourPoints || !gauge.tourScreenPoints) {
        releaseTourPoints();
        return;
    }
    gauge.tourPointCount = count;
    for (int32_t item = 0; item < count; ++item) {
        ExchangeRecord scratch{};
        if (callGetData(&scratch)) {
            gauge.tourPoints[item].latitude = scratch.latitude;
            gauge.tourPoints[item].longitude = scratch.longitude;
        }
        callGetTourItem(1, &step);
    }
    // Back onto the active item; a tour that does not hold it is walked round once at most.
    for (int32_t item = 0; item < count && step != gauge.exchange.recordNumber; ++item)
        callGetTourItem(0, &step);
}

void sequenceTourWaypoints() {
    if (!(gauge.activeDistance <= gauge.switchDistance) || gauge.exchange.mode != 1 ||
        gauge.exchange.tourAutopilot != 1 || !dialogExportPresent("TarvixGetTourItem"))
        return;
    if (gauge.nextWaypoint.latitude != 0.0 || gauge.nextWaypoint.longitude != 0.0) {
        int32_t reached = 0;
        callGetTourItem(1, &reached);
        if (reached < gauge.exchange.recordNumber) { // wrapped: stay on the last item
            callGetTourItem(0, &reached);
        } else {
            callGetData(&gauge.exchange);
            fetchLegStart(gauge.exchange.recordNumber);
            fetchNextWaypoint(gauge.exchange.recordNumber);
            applyAutopilot();
        }
    }
    if (gauge.exchange.tourAltitudeHold != 1)
        sendAltitudeHoldOff();
}
