// Scenario files written: the text parseScenario reads back as the same scenario, for the tools
// that make flights for the stand-in simulator (tarvix-db's route flight). Pure.
#pragma once
#include <string>

#include "scenario.h"

// The scenario as JSON, two spaces an indent. The name, the aircraft, the frame rate and the
// duration are always written; every other field only where it differs from what the parser
// gives when the key is missing (a dialog step's time limit whenever the step opens a dialog).
// A position on a whole second is written as "N41 47 12", any other as decimal degrees, so that
// none is rounded. The handed airport is the command line's and has no key: it is not written.
std::string scenarioText(const Scenario& scenario);

// A press of the button that opens the settings dialog, at simulated second at, that brings the
// tour file in with the tour import and selects the item labelled itemLabel in the folder the
// import makes. The rest of the step (settings, picture, closing, time limit) is the caller's.
ScenarioClick tourImportClick(double at, const std::string& itemLabel);
