// The rate at which the stand-in simulator's autopilot turns the aircraft, which the database
// tool also flies a route's frames with before the flight, to name the items it would pass.
// Pure.
#pragma once

constexpr double standardTurnRate = 3.0; // degrees a second
