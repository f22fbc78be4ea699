// Per-update navigation: the simulator's variables looked up and handed to the navigation math.
#include <cmath>

#include "common/sim_ids.h"
#include "gauge_state.h"
#include "nav_math.h"

double gaugeSpeed() {
    return currentSpeed(lookupVariable(varSpeed), lookupVariable(varMachSpeed));
}

static DistanceBearing between(const double from[2], const ExchangeRecord& to) {
    return greatCircle(from[0], from[1], to.latitude, to.longitude,
                       lookupVariable(varMagVariation));
}

static bool updateActiveLeg() {
    const double aircraft[2] = {lookupVariable(varLatitude), lookupVariable(varLongitude)};
    // Without a position there is nothing to measure: a distance of 0 made up here would count
    // as an arrival and advance a coupled tour on every update.
    if (!std::isfinite(aircraft[0]) || !std::isfinite(aircraft[1]))
        return false;
    DistanceBearing leg = between(aircraft, gauge.exchange);
    gauge.activeDistance = leg.distance;
    gauge.steerHeading = leg.bearing;
    return true;
}

static void updateSwitchDistance() {
    const double active[2] = {gauge.exchange.latitude, gauge.exchange.longitude};
    double nextLeg = between(active, gauge.nextWaypoint).bearing;
    gauge.switchDistance = switchDistanceFor(nextLeg, gauge.steerHeading, gaugeSpeed());
}

void applyWindCorrection() {
    gauge.steerHeading = windCorrect(gauge.steerHeading, lookupVariable(varWindSpeed),
                                     lookupVariable(varWindDirection), gaugeSpeed());
}

bool updateLegFigures() {
    if (!updateActiveLeg())
        return false;
    updateSwitchDistance();
    return true;
}
