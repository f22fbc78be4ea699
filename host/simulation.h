// The stand-in simulator's main loop: serves the gauge its variables from the aircraft, runs one
// gauge frame, lets the aircraft obey the key events of that frame, and moves it on.
#pragma once
#include "flight_model.h"

struct Simulation {
    Aircraft aircraft;
    double frameRate;    // frames a simulated second
    double selector;     // variable 0x9A
    double seconds;      // simulated time so far
    long frames;         // frames so far
    size_t eventsObeyed; // key events already applied to the aircraft
};

Simulation makeSimulation(const Aircraft& aircraft, double frameRate, double selector);

// Puts the aircraft's state into the simulator variables the gauge reads.
void serveVariables(const Simulation& simulation);

// Applies to the aircraft every key event the gauge sent since the last call.
void obeyKeyEvents(Simulation& simulation);

// One frame: variables, the gauge's update, generate and draw, its key events, the motion.
void simulationFrame(Simulation& simulation);
