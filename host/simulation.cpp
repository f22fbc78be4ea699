#include "simulation.h"

#include "common/position_units.h"
#include "common/sim_ids.h"
#include "panel_host.h"

Simulation makeSimulation(const Aircraft& aircraft, double frameRate, double selector) {
    return {aircraft, frameRate, selector, 0.0, 0, keyEvents().size()};
}

void serveVariables(const Simulation& simulation) {
    const Aircraft& a = simulation.aircraft;
    setVariable(varLatitude, latitudeFromDegrees(a.latitude));
    setVariable(varLongitude, longitudeFromDegrees(a.longitude));
    setVariable(varHeading, a.heading);
    setVariable(varMagVariation, a.variation);
    setVariable(varSpeedSelector, simulation.selector);
    setVariable(varSpeed, a.airspeed);
    // The Mach-based figure the gauge converts back to the same knots.
    setVariable(varMachSpeed, a.airspeed * 0.1852 / 1224.0 * 3.2 * machSpeedScale);
    setVariable(varWindSpeed, a.windSpeed);
    setVariable(varWindDirection, a.windDirection);
    setVariable(varAltitude, a.altitude / 3.281);
}

void obeyKeyEvents(Simulation& simulation) {
    const std::vector<KeyEventRecord>& events = keyEvents();
    if (simulation.eventsObeyed > events.size()) // the panel's record was reset
        simulation.eventsObeyed = 0;
    for (; simulation.eventsObeyed < events.size(); ++simulation.eventsObeyed)
        applyKeyEvent(simulation.aircraft, events[simulation.eventsObeyed].event,
                      events[simulation.eventsObeyed].value);
}

void simulationFrame(Simulation& simulation) {
    serveVariables(simulation);
    hostFrame();
    obeyKeyEvents(simulation);
    advanceAircraft(simulation.aircraft, 1.0 / simulation.frameRate);
    simulation.seconds += 1.0 / simulation.frameRate;
    simulation.frames += 1;
}
