#include "key_event_log.h"

#include <cstdio>
#include <cstring>

#include "panel_host.h"

namespace {

bool sameAutopilot(const Autopilot& a, const Autopilot& b) {
    return a.master == b.master && a.headingHold == b.headingHold &&
           a.altitudeHold == b.altitudeHold && a.selectedHeading == b.selectedHeading &&
           a.selectedAltitude == b.selectedAltitude && a.verticalSpeed == b.verticalSpeed;
}

} // namespace

bool openKeyEventLog(KeyEventLog& log, const std::string& path, const char* timeColumn, bool all) {
    log.all = all;
    log.seen = keyEvents().size();
    log.written = 0;
    log.autopilot = Aircraft{};
    log.file.open(path, std::ios::binary | std::ios::trunc);
    if (!log.file)
        return false;
    log.file << timeColumn << ",event,name,value\r\n";
    return bool(log.file);
}

void logNewKeyEvents(KeyEventLog& log, const std::string& when) {
    const std::vector<KeyEventRecord>& events = keyEvents();
    if (log.seen > events.size()) // the panel's record was reset
        log.seen = 0;
    for (; log.seen < events.size(); ++log.seen) {
        const KeyEventRecord& e = events[log.seen];
        Autopilot before = log.autopilot.autopilot;
        applyKeyEvent(log.autopilot, e.event, e.value);
        bool known = keyEventName(e.event)[0] != '\0';
        if (!log.all && known && sameAutopilot(before, log.autopilot.autopilot))
            continue;
        char line[128];
        std::snprintf(line, sizeof line, "%s,0x%X,%s,%d\r\n", when.c_str(),
                      static_cast<unsigned>(e.event), keyEventName(e.event),
                      static_cast<int>(e.value));
        log.file << line;
        ++log.written;
    }
}
