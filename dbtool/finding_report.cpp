#include "finding_report.h"

#include <vector>

namespace {

struct Kind {
    std::string topic;
    bool warning;
    std::vector<const Finding*> findings;
};

void printOne(const std::string& path, const Finding& f, const char* unit, std::ostream& out) {
    out << path;
    if (f.line > 0)
        out << ": " << unit << " " << f.line;
    out << ": " << (f.warning ? "warning: " : "") << f.reason << "\n";
}

// In the order each kind first comes; a finding without a topic is a kind of its own.
std::vector<Kind> kindsOf(const Findings& findings) {
    std::vector<Kind> kinds;
    for (const Finding& f : findings) {
        Kind* kind = nullptr;
        if (!f.topic.empty())
            for (Kind& k : kinds)
                if (k.topic == f.topic && k.warning == f.warning)
                    kind = &k;
        if (kind == nullptr) {
            kinds.push_back(Kind{f.topic, f.warning, {}});
            kind = &kinds.back();
        }
        kind->findings.push_back(&f);
    }
    return kinds;
}

} // namespace

std::string withThousands(size_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

void reportFindings(const std::string& path, const Findings& findings, const char* unit,
                    Verbosity verbosity, std::ostream& out) {
    if (verbosity == Verbosity::verbose) {
        for (const Finding& f : findings)
            printOne(path, f, unit, out);
        return;
    }
    for (const Kind& kind : kindsOf(findings)) {
        size_t count = kind.findings.size();
        if (verbosity == Verbosity::quiet) {
            if (kind.warning)
                continue;
            if (count == 1)
                printOne(path, *kind.findings[0], unit, out);
            else
                out << path << ": " << withThousands(count) << " problems: " << kind.topic << "\n";
            continue;
        }
        if (count <= shownOfAKind) {
            for (const Finding* f : kind.findings)
                printOne(path, *f, unit, out);
            continue;
        }
        out << path << ": " << withThousands(count)
            << (kind.warning ? " warnings: " : " problems: ") << kind.topic << "; the first "
            << shownOfAKind << ":\n";
        for (size_t i = 0; i < shownOfAKind; ++i)
            printOne("  " + path, *kind.findings[i], unit, out);
        out << "  ... and " << withThousands(count - shownOfAKind)
            << " more (--verbose lists every one)\n";
    }
}
