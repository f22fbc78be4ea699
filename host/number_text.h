// A number as the scenario's and the command line's messages quote it: "95", "2.5", "1e+30".
// Pure.
#pragma once
#include <sstream>
#include <string>

inline std::string numberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}
