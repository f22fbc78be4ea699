// Route following: the leg start and the next waypoint around the active tour item, the table of
// the tour's positions for the map, and the arrival rule that advances a coupled tour. The
// library holds the tour; the gauge walks it by stepping the library's current item.
#include <windows.h>

#include <cstring>

#include "common/db_record.h"
#include "common/module_contract.h"
#include "common/position_units.h"
#include "common/sim_ids.h"
#include "gauge_state.h"
#include "waypoint_record.h"

// The most items a tour can have: every record of the database one of its items. Tours are
// numbered with three digits from 001 and with four from 1000 on, so no fixed count bounds them;
// the file's size does, and a library that keeps answering growing indices must not keep the
// gauge stepping inside the simulator's frame for longer. Read from the folder, which needs no
// handle on the file that the library opens exclusively during its calls.
static int32_t longestTour() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(databaseFileName, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    uint64_t records = ((uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow) / recordSize;
    return records > INT32_MAX ? INT32_MAX : int32_t(records);
}

// What one step of the library's current item answered, seen from the item it started on.
enum StepOutcome {
    stepSkipped, // no library or no TarvixGetTourItem: nothing happened
    stepMoved,   // the neighbour in the step's direction
    stepSame,    // the same item: a tour of one
    stepWrapped, // the tour's other end
    stepBroken,  // -1, or an index no tour step gives: nothing after it can be trusted
};

// longest: longestTour() as the operation that steps found it.
static StepOutcome stepFrom(int32_t forward, int32_t from, int32_t* reached, int32_t longest) {
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
    return ahead < 0 && ahead > -int64_t(longest) ? stepWrapped : stepBroken;
}

static void noLeg(ExchangeRecord& record) {
    emptyPosition(record);
    gauge.switchDistance = 0.1;
}

void fetchLegStart(int32_t index) {
    if (gauge.exchange.mode != tourMode) {
        noLeg(gauge.legStart);
        return;
    }
    loadDialogLibrary();
    const int32_t longest = longestTour();
    StepOutcome back = stepFrom(0, index, nullptr, longest);
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
    stepFrom(1, index, nullptr, longest);
}

void fetchNextWaypoint(int32_t index) {
    if (gauge.exchange.mode != tourMode) {
        noLeg(gauge.nextWaypoint);
        return;
    }
    loadDialogLibrary();
    const int32_t longest = longestTour();
    StepOutcome ahead = stepFrom(1, index, nullptr, longest);
    if (ahead == stepSkipped)
        return;
    if (ahead == stepBroken) {
        noLeg(gauge.nextWaypoint);
        return;
    }
    if (ahead == stepWrapped || !callGetData(&gauge.nextWaypoint)) // wrapped: index is the last
        noLeg(gauge.nextWaypoint);
    stepFrom(0, index, nullptr, longest);
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

// The positions a walk has met, in the order it met them; a tour's length is known only once
// the walk has wrapped.
struct VisitedPoints {
    TourPoint* points = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;
};

static bool appendVisited(VisitedPoints& visited, const TourPoint& point) {
    if (visited.count == visited.capacity) {
        int32_t capacity = visited.capacity ? visited.capacity * 2 : 64;
        auto* grown = static_cast<TourPoint*>(GlobalAlloc(GPTR, sizeof(TourPoint) * capacity));
        if (!grown)
            return false;
        if (visited.points) {
            std::memcpy(grown, visited.points, sizeof(TourPoint) * visited.count);
            GlobalFree(visited.points);
        }
        visited.points = grown;
        visited.capacity = capacity;
    }
    visited.points[visited.count++] = point;
    return true;
}

// The table in tour order from the positions of one round that started on item index:
// index to last, then first to the one before index.
static void takeTourPoints(const VisitedPoints& visited, int32_t index, int32_t first,
                           int32_t last) {
    const int32_t count = last - first + 1;
    gauge.tourPoints = static_cast<TourPoint*>(GlobalAlloc(GPTR, sizeof(TourPoint) * count));
    gauge.tourScreenPoints =
        static_cast<TourScreenPoint*>(GlobalAlloc(GPTR, sizeof(TourScreenPoint) * count));
    if (!gauge.tourPoints || !gauge.tourScreenPoints) {
        releaseTourPoints();
        return;
    }
    gauge.tourPointCount = count;
    const int32_t beforeWrap = last - index + 1;
    for (int32_t item = first; item <= last; ++item)
        gauge.tourPoints[item - first] =
            visited.points[item >= index ? item - index : beforeWrap + (item - first)];
}

// Once round the tour from the active item: each forward step lands on the next item or wraps
// onto the first, and the round ends back on the active item. Each position is taken while the
// library stands on its item, so a tour of n items costs n steps, and every step leaves the
// database and the mapping as a step of the pilot's would.
void buildTourPoints(int32_t index) {
    releaseTourPoints();
    if (gauge.exchange.mode != tourMode)
        return;
    loadDialogLibrary();
    const int32_t longest = longestTour();
    VisitedPoints visited;
    int32_t current = index, first = 0, last = 0;
    bool wrapped = false, round = false;
    for (int32_t steps = 0; steps <= longest && !round; ++steps) {
        ExchangeRecord scratch{};
        TourPoint point{}; // zero when the library cannot say
        if (callGetData(&scratch))
            point = {scratch.latitude, scratch.longitude};
        if (!appendVisited(visited, point))
            break;
        int32_t reached = 0;
        StepOutcome outcome = stepFrom(1, current, &reached, longest);
        if (outcome == stepWrapped || outcome == stepSame) {
            if (wrapped) // a second wrap: the tour changed under the walk
                break;
            wrapped = true;
            first = reached;
            last = current;
        } else if (outcome != stepMoved) {
            break;
        }
        current = reached;
        round = wrapped && current == index;
    }
    // A round that did not close, or met more or fewer items than lie between its ends, walked
    // a tour that changed under it: no table rather than a wrong one.
    if (round && visited.count == last - first + 1)
        takeTourPoints(visited, index, first, last);
    if (visited.points)
        GlobalFree(visited.points);
}

void stepTourItem(int32_t forward) {
    clearWaypoint(gauge.legStart);
    clearWaypoint(gauge.nextWaypoint);
    int32_t index = 0;
    StepOutcome outcome = stepFrom(forward, gauge.exchange.recordNumber, &index, longestTour());
    if (outcome == stepSkipped || outcome == stepBroken)
        return;
    fetchLegStart(index);
    fetchNextWaypoint(index);
    callGetData(&gauge.exchange);
    updateLegFigures();
}

void sequenceTourWaypoints() {
    if (!(gauge.activeDistance <= gauge.switchDistance) || gauge.exchange.mode != tourMode ||
        !exchangeWantsCoupling() || !dialogExportPresent(getTourItemExport.name))
        return;
    if (gauge.nextWaypoint.latitude != 0.0 || gauge.nextWaypoint.longitude != 0.0) {
        int32_t reached = 0;
        const int32_t longest = longestTour();
        StepOutcome outcome = stepFrom(1, gauge.exchange.recordNumber, &reached, longest);
        if (outcome == stepWrapped) { // stay on the last item
            stepFrom(0, reached, nullptr, longest);
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
