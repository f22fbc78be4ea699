// Simulated time as the run tells it: in its logs, its summary, the live window and the names
// of a scenario's steps. Pure.
#pragma once
#include <string>

// "1:02:03" for simulated seconds, rounded to the whole second.
std::string clockText(double seconds);
