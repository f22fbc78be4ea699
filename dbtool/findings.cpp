#include "findings.h"

#include <utility>

void addProblem(Findings& findings, int32_t line, std::string reason, std::string topic) {
    findings.push_back(Finding{line, false, std::move(reason), std::move(topic)});
}

void addWarning(Findings& findings, int32_t line, std::string reason, std::string topic) {
    findings.push_back(Finding{line, true, std::move(reason), std::move(topic)});
}

int32_t problemCount(const Findings& findings) {
    int32_t count = 0;
    for (const Finding& finding : findings)
        count += finding.warning ? 0 : 1;
    return count;
}
