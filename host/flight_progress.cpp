#include "flight_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/position_units.h"
#include "clock_text.h"
#include "flight_files.h"
#include "route_geometry.h"
#include "run_paths.h"

namespace {

// The name of a waypoint of the route, by its record.
std::string routeName(const FlightPlan& plan, int32_t record) {
    for (size_t i = 0; i < plan.routeRecords.size(); ++i)
        if (plan.routeRecords[i] == record)
            return plan.route[i].label;
    return "record " + std::to_string(record);
}

PlotPoint degreesOf(const ExchangeRecord& r) {
    return {latitudeDegrees(r.latitude), longitudeDegrees(r.longitude)};
}

constexpr double overhead = 1.0; // nm: a waypoint this close counts as flown over

void listNames(const char* what, const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? " " : ", ") + name;
    std::printf("tarvix-host: %s:%s\n", what, list.empty() ? " none" : shownText(list).c_str());
}

void listEvents(const char* what, const std::vector<WaypointEvent>& events) {
    std::vector<std::string> names;
    for (const WaypointEvent& e : events)
        names.push_back(e.name);
    listNames(what, names);
}

// Where the flight was when the pilot stopped it, so that the rest of the summary reads as
// what was flown up to there.
void printInterruption(const FlightOutcome& o, double duration) {
    const PlotPoint& a = o.endedAt;
    std::printf(
        "tarvix-host: interrupted at %s of %s simulated, at %c%.4f %c%.4f, %s; the summary "
        "and pictures are of the part flown\n",
        clockText(o.seconds).c_str(), clockText(duration).c_str(), a.latitude < 0 ? 'S' : 'N',
        std::fabs(a.latitude), a.longitude < 0 ? 'W' : 'E', std::fabs(a.longitude),
        o.destination ? shownText("flying to " + o.flyingTo).c_str() : "with no destination");
}

// The waypoints of the route from the chosen one on that were neither reached nor skipped.
void findNotReached(const FlightRun& run, FlightOutcome& o) {
    const FlightPlan& plan = run.plan;
    auto start =
        std::find(plan.routeRecords.begin(), plan.routeRecords.end(), plan.choice.recordNumber);
    for (auto record = start; record != plan.routeRecords.end(); ++record) {
        auto is = [&](const WaypointEvent& e) { return e.record == *record; };
        if (std::none_of(o.sequenced.begin(), o.sequenced.end(), is) &&
            std::none_of(o.skipped.begin(), o.skipped.end(), is) &&
            !(o.arrived && o.arrival.record == *record))
            o.notReached.push_back(routeName(plan, *record));
    }
}

} // namespace

void followPlan(FlightRun& run, const FlightPlan& plan) {
    Progress& p = run.progress;
    if (p.destination) {
        p.offRoute = std::max(p.offRoute, largestOffRoute(run.plan.route, p.coupledTrack));
        if (!p.uncoupledTrack.empty())
            p.offRouteUncoupled =
                std::max(p.offRouteUncoupled, largestOffRoute(run.plan.route, p.uncoupledTrack));
    }
    p.coupledTrack.clear();
    p.uncoupledTrack.clear();
    run.plan = plan;
    run.plot.route = plan.route;
    p.destination = true;
    p.active = plan.choice.recordNumber;
    p.activeName = waypointName(plan.choice);
    p.final = plan.routeRecords.back();
    p.finalName = plan.route.back().label;
    p.finalAt = plan.route.back().position;
}

std::string describeChoice(const FlightPlan& plan) {
    const ExchangeRecord& c = plan.choice;
    bool coupled = plan.tour ? c.tourAutopilot : c.airportAutopilot;
    bool hold = plan.tour ? c.tourAltitudeHold : c.airportAltitudeHold;
    return waypointName(c) + ", " + (plan.tour ? "tour" : "airport") + " mode, autopilot " +
           (coupled ? "on" : "off") + ", altitude hold " + (hold ? "on" : "off");
}

void checkSecond(FlightRun& run, FlightOutcome& outcome) {
    const Simulation& s = run.simulation;
    Progress& p = run.progress;
    ExchangeRecord active = activeWaypoint(run);
    PlotPoint here{s.aircraft.latitude, s.aircraft.longitude};
    double toActive = 0;
    if (p.destination) {
        if (active.recordNumber != p.active) {
            outcome.sequenced.push_back({p.active, p.activeName, s.seconds});
            run.plot.events.push_back({here, clockText(s.seconds)});
            say(run, outcome, p.activeName + " reached, next " + waypointName(active), false);
            p.active = active.recordNumber;
            p.activeName = waypointName(active);
        }
        PlotPoint target = degreesOf(active);
        toActive = sphereDistance(here.latitude, here.longitude, target.latitude, target.longitude);
        if (p.active == p.final && !outcome.arrived && toActive < overhead) {
            outcome.arrived = true;
            outcome.arrival = {p.final, p.finalName, s.seconds};
            run.plot.events.push_back({here, clockText(s.seconds)});
            say(run, outcome, "arrived at the last waypoint, " + p.finalName, false);
        }
        if (outcome.arrived)
            outcome.farthestAfterArrival =
                std::max(outcome.farthestAfterArrival,
                         sphereDistance(here.latitude, here.longitude, p.finalAt.latitude,
                                        p.finalAt.longitude));
    }
    run.plot.track.push_back(here);
    if (s.aircraft.autopilot.master) {
        p.coupledTrack.push_back(here);
    } else {
        p.uncoupledTrack.push_back(here);
        if (outcome.uncoupledSince < 0)
            outcome.uncoupledSince = s.seconds;
    }
    logState(run.out, s, active, toActive);
}

// A tenth of a long flight done: how far it has come, on standard error.
void tellProgress(const FlightRun& run) {
    long f = run.simulation.frames;
    if (run.settings.panelOnly || run.totalFrames < 100 || f % (run.totalFrames / 10) != 0)
        return;
    std::fprintf(stderr, "tarvix-host: %ld%% (%s of %s simulated)\n", f * 100 / run.totalFrames,
                 clockText(run.simulation.seconds).c_str(),
                 clockText(run.scenario.duration).c_str());
}

// The figures of the flight once it has ended: distance, how far off the route, which
// waypoints were never reached; the track picture's title says where an interrupted one stopped.
void closeProgress(FlightRun& run, FlightOutcome& outcome) {
    Progress& p = run.progress;
    const Simulation& s = run.simulation;
    outcome.seconds = s.seconds;
    outcome.frames = s.frames;
    outcome.keyEventsWritten = run.out.keys.written;
    outcome.largestOffRoute = std::max(p.offRoute, largestOffRoute(run.plan.route, p.coupledTrack));
    outcome.largestOffRouteUncoupled = p.offRouteUncoupled;
    if (!p.uncoupledTrack.empty())
        outcome.largestOffRouteUncoupled =
            std::max(p.offRouteUncoupled, largestOffRoute(run.plan.route, p.uncoupledTrack));
    outcome.destination = p.destination;
    outcome.lastWaypoint = p.finalName;
    outcome.endedAt = {s.aircraft.latitude, s.aircraft.longitude};
    outcome.flyingTo = p.activeName;
    if (p.destination)
        findNotReached(run, outcome);
    if (outcome.interrupted)
        run.plot.note = "(interrupted at " + clockText(s.seconds) + ")";
}

void printSummary(const FlightOutcome& o, double duration) {
    if (o.interrupted)
        printInterruption(o, duration);
    for (const std::string& choice : o.choices)
        std::printf("tarvix-host: destination %s\n", shownText(choice).c_str());
    std::vector<WaypointEvent> reached = o.sequenced;
    if (o.arrived)
        reached.push_back(o.arrival);
    if (o.destination) {
        listEvents("waypoints reached in order", reached);
        listEvents("skipped by button", o.skipped);
        listNames(o.interrupted ? "not reached before the interruption" : "not reached",
                  o.notReached);
        if (o.arrived) {
            double after = o.seconds - o.arrival.seconds;
            std::printf("tarvix-host: last arrival: %s at %s", shownText(o.arrival.name).c_str(),
                        clockText(o.arrival.seconds).c_str());
            if (after < 1)
                std::printf(", where the flight ended\n");
            else if (o.farthestAfterArrival < 5)
                std::printf("; then %s more circling it, never more than %.1f nm away\n",
                            clockText(after).c_str(), o.farthestAfterArrival);
            else
                std::printf("; then %s more, up to %.1f nm away from it\n",
                            clockText(after).c_str(), o.farthestAfterArrival);
        } else {
            std::printf("tarvix-host: last arrival: none; the last waypoint, %s, was not reached\n",
                        shownText(o.lastWaypoint).c_str());
        }
    }
    std::printf("tarvix-host: %s flown, %.1f nm, at most %.2f nm off the planned route",
                clockText(o.seconds).c_str(), o.distanceFlown, o.largestOffRoute);
    if (o.largestOffRouteUncoupled >= 0)
        std::printf(" while coupled; %.1f nm with the autopilot off (from %s)",
                    o.largestOffRouteUncoupled, clockText(o.uncoupledSince).c_str());
    std::printf("\n");
}
