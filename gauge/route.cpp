// Route following: the leg start and the next waypoint around the active tour item, the table of
// the tour's positions for the map, and the arrival rule that advances a coupled tour. The
// library holds the tour; the gauge walks it by stepping the library's current item.
#include <windows.h>

#include "../common/module_contract.h"
#include "../common/sim_ids.h"
#include "gauge_state.h"
#include "waypoint_record.h"

// Tours hold at most 999 items ("001" to "999"). A library that keeps answering growing indices
// must not keep the gauge stepping inside the simulator's frame.
constexpr int32_t longestTour = 999;

// What one step of the library's current item answered, seen from the item it started on.
enum StepOutcome {
    stepSkipped, // no library or no TarvixGetTourItem: nothing happened
    stepMoved,   // the neighbour in the step's direction
    stepSame,    // the same item: a tour of one
    stepWrapped, // the tour's other end
    stepBroken,  // -1, or an index no tour step gives: nothing after it can be trusted
};

static StepOutcome stepFrom(int32_t forward, int32_t from, int32_t* reached) {
    int32_t index = -1;
    if (!callGetTourItem(forward, &index))
        return stepSkipped;
    if (reached)
        *reached = index;
    if (index < 0)
        return stepBroken;
    // Items are consecutive records: a step moves by one, a wrap by less than a whole tour.
    int64_t ahead = forward ? int64_t(index) - from : int64_t(from) - index;
    if (ahead == 1)
        return stepMoved;
    if (ahead == 0)
        return stepSame;
    return ahead < 0 && ahead > -longestTour ? stepWrapped : stepBroken;
}

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
    StepOutcome back = stepFrom(0, index, nullptr);
    if (back == stepSkipped)
        return;
    if (back == stepBroken) { // the library did not step: there is nothing to step back from
        noLeg(gauge.legStart);
        return;
    }
    if (back == stepWrapped) { // item index is the tour's first: the leg starts at the aircraft
        gauge.legStart.latitude = lookupVariable(varLatitude);
        gauge.legStart.longitude = lookupVariable(varLongitude);
        gauge.switchDistance = 0.1;
    } else if (!callGetData(&gauge.legStart)) {
        noLeg(gauge.legStart);
    }
    stepFrom(1, index, nullptr);
}

void fetchNextWaypoint(int32_t index) {
    if (gauge.exchange.mode != 1) {
        noLeg(gauge.nextWaypoint);
        return;
    }
    loadDialogLibrary();
    StepOutcome ahead = stepFrom(1, index, nullptr);
    if (ahead == stepSkipped)
        return;
    if (ahead == stepBroken) {
        noLeg(gauge.nextWaypoint);
        return;
    }
    if (ahead == stepWrapped || !callGetData(&gauge.nextWaypoint)) // wrapped: index is the last
        noLeg(gauge.nextWaypoint);
    stepFrom(0, index, nullptr);
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

// Steps in one direction while the library moves on by one, from index to the tour's end in
// that direction; *otherEnd gets the item the closing step wrapped onto. False when the walk
// met an answer no tour gives, or went on for longer than any tour.
static bool walkToEnd(int32_t forward, int32_t& index, int32_t* otherEnd) {
    for (int32_t steps = 0; steps <= longestTour; ++steps) {
        int32_t reached = 0;
        StepOutcome outcome = stepFrom(forward, index, &reached);
        if (outcome == stepMoved) {
            index = reached;
        } else {
            *otherEnd = reached;
            return outcome == stepWrapped || outcome == stepSame;
        }
    }
    return false;
}

// One step that must land on expected (the other end of the tour, or the same one-item tour).
static bool stepOnto(int32_t forward, int32_t from, int32_t expected) {
    int32_t reached = 0;
    StepOutcome outcome = stepFrom(forward, from, &reached);
    return (outcome == stepWrapped || outcome == stepSame) && reached == expected;
}

void buildTourPoints(int32_t index) {
    releaseTourPoints();
    if (gauge.exchange.mode != 1)
        return;
    loadDialogLibrary();
    // Forward until the step wraps onto the first item, then back onto the last.
    int32_t last = index, first = 0;
    if (!walkToEnd(1, last, &first) || !stepOnto(0, first, last))
        return;
    // Back until the step wraps onto the last item, then forward onto the first.
    int32_t wrappedTo = 0;
    first = last;
    if (!walkToEnd(0, first, &wrappedTo) || wrappedTo != last || !stepOnto(1, last, first))
        return;
    int32_t count = last - first + 1;
    gauge.tourPoints = static_cast<TourPoint*>(GlobalAlloc(GPTR, sizeof(TourPoint) * count));
    gauge.tourScreenPoints =
        static_cast<TourScreenPoint*>(GlobalAlloc(GPTR, sizeof(TourScreenPoint) * count));
    if (!gauge.tourPoints || !gauge.tourScreenPoints) {
        releaseTourPoints();
        return;
    }
    gauge.tourPointCount = count;
    int32_t current = first;
    for (int32_t item = 0; item < count; ++item) {
        ExchangeRecord scratch{};
        if (callGetData(&scratch)) {
            gauge.tourPoints[item].latitude = scratch.latitude;
            gauge.tourPoints[item].longitude = scratch.longitude;
        }
        StepOutcome outcome = stepFrom(1, current, &current);
        bool expected = item + 1 < count ? outcome == stepMoved
                                         : (outcome == stepWrapped || outcome == stepSame);
        if (!expected) { // the tour changed under the walk: no table rather than a wrong one
            releaseTourPoints();
            return;
        }
    }
    // Back onto the active item; a tour that does not hold it is walked round once at most.
    for (int32_t item = 0; item < count && current != gauge.exchange.recordNumber; ++item) {
        StepOutcome outcome = stepFrom(0, current, &current);
        if (outcome == stepSkipped || outcome == stepBroken)
            return;
    }
}

void stepTourItem(int32_t forward) {
    clearWaypoint(gauge.legStart);
    clearWaypoint(gauge.nextWaypoint);
    int32_t index = 0;
    StepOutcome outcome = stepFrom(forward, gauge.exchange.recordNumber, &index);
    if (outcome == stepSkipped || outcome == stepBroken)
        return;
    fetchLegStart(index);
    fetchNextWaypoint(index);
    callGetData(&gauge.exchange);
    updateLegFigures();
}

void sequenceTourWaypoints() {
    if (!(gauge.activeDistance <= gauge.switchDistance) || gauge.exchange.mode != 1 ||
        !exchangeWantsCoupling() || !dialogExportPresent(getTourItemExport.name))
        return;
    if (gauge.nextWaypoint.latitude != 0.0 || gauge.nextWaypoint.longitude != 0.0) {
        int32_t reached = 0;
        StepOutcome outcome = stepFrom(1, gauge.exchange.recordNumber, &reached);
        if (outcome == stepWrapped) { // stay on the last item
            stepFrom(0, reached, nullptr);
        } else if (outcome == stepMoved || outcome == stepSame) {
            callGetData(&gauge.exchange);
            fetchLegStart(gauge.exchange.recordNumber);
            fetchNextWaypoint(gauge.exchange.recordNumber);
            applyAutopilot();
        }
    }
    if (gauge.exchange.tourAltitudeHold != 1)
        sendAltitudeHoldOff();
}
