// The findings of a reader or writer as a person reads them: grouped by kind, counted, the first
// few of each kind shown with their lines, or every one of them on request.
#pragma once
#include <ostream>
#include <string>

#include "waypoints.h"

enum class Verbosity {
    quiet,   // the problems only, one count a kind; no warnings, no notes
    normal,  // every kind counted, its first few findings shown
    verbose, // every finding on a line of its own
};

// Findings of one kind shown in full before the rest are only counted.
constexpr size_t shownOfAKind = 3;

// unit names what a finding's line counts ("line", "record").
void reportFindings(const std::string& path, const Findings& findings, const char* unit,
                    Verbosity verbosity, std::ostream& out);

// "1,143": counts of thousands are read at a glance.
std::string withThousands(size_t n);
