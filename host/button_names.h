// The gauge's buttons by the labels on their faces, as scenarios and the command line name them.
#pragma once
#include <cstdint>
#include <string>

// The button's place in the gauge's mouse table, -1 for no such label.
int32_t buttonIndex(const std::string& label);

// The label of the button whose handler is named handler ("onDialog" gives "DLG"), "" for none:
// what writes a scenario finds a button by what it does rather than by its face.
std::string buttonLabelOf(const char* handler);

// Whether a press on the button opens the settings dialog, or the About box, known by the
// handler behind the face.
bool opensSettingsDialog(const std::string& label);
bool opensAboutBox(const std::string& label);
