// What tarvix-db's readers, writers and checks find in a file, kept as they go.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What a reader or writer has to say about the input. Line 0 means the file as a whole. A
// warning is a change that still writes the point (a cut name); a problem leaves it out. The
// topic groups findings of one kind for the report ("names cut to 24 characters"); empty, the
// reason stands alone.
struct Finding {
    int32_t line;
    bool warning;
    std::string reason;
    std::string topic;
};

using Findings = std::vector<Finding>;

void addProblem(Findings& findings, int32_t line, std::string reason, std::string topic = "");
void addWarning(Findings& findings, int32_t line, std::string reason, std::string topic = "");
int32_t problemCount(const Findings& findings);
