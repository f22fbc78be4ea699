// Route following: the leg start, the next waypoint, the tour's point table and the autopilot
// sequences. Filled by the route-following work; the tour tables are already released here.
#include <windows.h>

#include "gauge_state.h"

void fetchLegStart(int32_t) {}
void fetchNextWaypoint(int32_t) {}
void buildTourPoints(int32_t) {}
void refreshAutopilotHeading() {}
void sequenceTourWaypoints() {}
void applyAutopilot() {}

void releaseTourPoints() {
    if (gauge.tourPoints)
        GlobalFree(gauge.tourPoints);
    if (gauge.tourScreenPoints)
        GlobalFree(gauge.tourScreenPoints);
    gauge.tourPoints = nullptr;
    gauge.tourScreenPoints = nullptr;
    gauge.tourPointCount = 0;
}
