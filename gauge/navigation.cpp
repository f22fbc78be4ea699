// Per-update navigation: the simulator's variables looked up and handed to the navigation math.
#include "../common/sim_ids.h"
#include "gauge_state.h"
#include "nav_math.h"

double gaugeSpeed() {
    return currentSpeed(lookupVariable(varSpeed), lookupVariable(varMachSpeed));
}

static DistanceBearing between(const double from[2], const ExchangeRecord& to) {
    return greatCircle(from[0], from[1], to.latitude, to.longitude,
                       lookupVariable(varMagVariation));
}

void updateActiveLeg() {
    const double aircraft[2] = {lookupVariable(varLatitude), lookupVariable(varLongitude)};
    DistanceBearing leg = between(aircraft, gauge.exchange);
    gauge.activeDistance = leg.distance;
    gauge.steerHeading = leg.bearing;
}

void updateSwitchDistance() {
    const double active[2] = {gauge.exchange.latitude, gauge.exchange.longitude};
    double nextLeg = between(active, gauge.nextWaypoint).bearing;
    gauge.switchDistance = switchDistanceFor(nextLeg, gauge.steerHeading, gaugeSpeed());
}

void applyWindCorrection() {
    gauge.steerHeading = windCorrect(gauge.steerHeading, lookupVariable(varWindSpeed),
                                     lookupVariable(varWindDirection), gaugeSpeed());
}
