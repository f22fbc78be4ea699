// A random edit sequence from its seed: the database and exchange files it starts from, the
// dialog worked until OK or Cancel, and the files and the gauge's record checked afterwards.
#include "tests/win32/edit_sequence.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/db_record.h"
#include "common/module_contract.h"
#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "testkit/db_fixtures.h"
#include "tests/win32/edit_sequence_parts.h"
#include "testkit/settings_session.h"
#include "testkit/test_support.h"

namespace {

// Every file the dialog writes, as it stands, in one FNV-1a digest of their names, presence and
// bytes: a replay prints it with each operation, so that two builds can be shown to write the
// same files at every step of the same sequence.
std::string filesDigest() {
    uint32_t digest = 2166136261u;
    auto mix = [&digest](char c) { digest = (digest ^ static_cast<uint8_t>(c)) * 16777619u; };
    for (const char* name :
         {"TarvixDb.dat", "TarvixDb.bak", "TarvixDb.$$$", "Tarvix.dat", "TarvixTr.dat"}) {
        for (const char* c = name; *c; ++c)
            mix(*c);
        mix(fileExists(name) ? '+' : '-');
        for (char c : readFileBytes(name))
            mix(c);
    }
    char text[12];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(digest));
    return text;
}

// ---- the watchdog's view of the running sequence ----

struct WatchState {
    CRITICAL_SECTION lock;
    bool running = false;
    uint32_t seed = 0;
    int operations = 0;
    std::vector<std::string> steps;
    DWORD lastProgress = 0;
    unsigned limitSeconds = 60;
};
WatchState& watch() {
    static WatchState* state = [] {
        auto* made = new WatchState;
        InitializeCriticalSection(&made->lock);
        return made;
    }();
    return *state;
}

DWORD WINAPI watchdogThread(void*) {
    for (;;) {
        Sleep(1000);
        WatchState& w = watch();
        EnterCriticalSection(&w.lock);
        if (w.running && GetTickCount() - w.lastProgress > w.limitSeconds * 1000u) {
            SequencePlan plan;
            plan.seed = w.seed;
            plan.operations = w.operations;
            SequenceOutcome outcome;
            outcome.steps = w.steps;
            outcome.operationsRun = static_cast<int>(w.steps.size());
            outcome.failure = "no operation finished for " + std::to_string(w.limitSeconds) +
                              " s: the dialog hangs in the last one";
            std::fprintf(stderr, "%s", sequenceReport(plan, outcome).c_str());
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        LeaveCriticalSection(&w.lock);
    }
}

// ---- the files a sequence starts from ----

// The aircraft waits at 45 degrees south, 90 west, where "Cur. Read" gives whole degrees.
constexpr double aircraftLatitude = -5000874.0;
constexpr double aircraftLongitude = 211106232532992.0; // three quarters of 2^48

struct Generated {
    std::string database;
    std::vector<Fields> records;
    int marked = -1; // index of the record with the current-choice marker
    ExchangeRecord options{};
};

std::string cut(std::string text, size_t width) {
    text = text.substr(0, width);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

Fields randomEntry(Run& run, Kind kind, int number) {
    Fields f{};
    f[fName] = cut(randomName(run), 24);
    f[fLatH] = run.chance(70) ? "N" : "S";
    f[fLatD] = digits(run, 1, 89);
    f[fLatM] = digits(run, 0, 59);
    f[fLatS] = digits(run, 0, 59);
    f[fLonH] = run.chance(50) ? "E" : "W";
    f[fLonD] = digits(run, 1, 179);
    f[fLonM] = digits(run, 0, 59);
    f[fLonS] = digits(run, 0, 59);
    if (kind == Kind::airport) {
        for (uint32_t i = 0, n = 3 + run.pick(3); i < n; ++i)
            f[fIdent] += static_cast<char>('A' + run.pick(26));
        return f;
    }
    char ident[8];
    std::snprintf(ident, sizeof ident, "%03d", number);
    f[fIdent] = ident;
    f[fHold] = run.chance(40) ? "1" : "";
    f[fAltitude] = run.chance(70) ? digits(run, 0, 30000) : "";
    // An import or a hand-edited file can hold an altitude the editor would not take.
    if (run.chance(4))
        f[fAltitude] = digits(run, 99997, 99999);
    return f;
}

std::string lineOf(const Fields& f, const std::string& level, bool tour) {
    LineFields line;
    line.ident = f[fIdent].c_str();
    line.name = f[fName].c_str();
    const char* latitude[4] = {f[fLatH].c_str(), f[fLatD].c_str(), f[fLatM].c_str(),
                               f[fLatS].c_str()};
    const char* longitude[4] = {f[fLonH].c_str(), f[fLonD].c_str(), f[fLonM].c_str(),
                                f[fLonS].c_str()};
    std::copy(latitude, latitude + 4, line.latitude);
    std::copy(longitude, longitude + 4, line.longitude);
    line.level = level.c_str();
    line.tourFlag = tour ? "1" : "";
    line.altitudeHoldFlag = f[fHold].c_str();
    line.altitude = f[fAltitude].c_str();
    return recordLine(line);
}

void addRecord(Generated& g, const Fields& f, const std::string& level, bool tour) {
    g.database += lineOf(f, level, tour);
    g.records.push_back(f);
}

// A folder and what it holds, in the order the database keeps it: entries, then subfolders.
void addFolder(Run& run, Generated& g, bool tour, int level, std::vector<int>& entries) {
    addRecord(g, blankFields(cut(randomName(run), 24).c_str()), std::to_string(level), tour);
    const Kind kind = tour ? Kind::tourItem : Kind::airport;
    for (uint32_t i = 0, n = run.pick(tour ? 8 : 6); i < n; ++i) {
        entries.push_back(static_cast<int>(g.records.size()));
        addRecord(g, randomEntry(run, kind, static_cast<int>(i) + 1), "", tour);
    }
    while (level < 3 && run.chance(30))
        addFolder(run, g, run.chance(50), level + 1, entries);
}

Generated generateDatabase(Run& run) {
    Generated g;
    std::vector<int> entries;
    for (uint32_t i = 0, n = run.chance(30) ? 1 + run.pick(2) : 0; i < n; ++i) {
        entries.push_back(static_cast<int>(g.records.size()));
        addRecord(g, randomEntry(run, Kind::airport, 0), "", false);
    }
    for (uint32_t i = 0, n = 2 + run.pick(3); i < n; ++i)
        addFolder(run, g, run.chance(50), 1, entries);
    if (!entries.empty() && run.chance(60)) {
        g.marked = entries[run.pick(static_cast<uint32_t>(entries.size()))];
        g.database.replace(static_cast<size_t>(g.marked) * recordSize + 46, 2, "-1");
    }
    g.options.airportAutopilot = run.chance(50);
    g.options.airportAltitudeHold = run.chance(50);
    g.options.airportAltitude = static_cast<double>(run.pick(30000));
    g.options.tourAutopilot = run.chance(50);
    return g;
}

void put(std::string& line, size_t column, size_t width, const std::string& text) {
    line.replace(column, width, (text + std::string(width, ' ')).substr(0, width));
}

// "Tarvix.dat": airports in blocks one column wider than their values; a blank line or one
// whose latitude is out of range now and then.
ExchangeFileModel writeAirportFile(Run& run) {
    ExchangeFileModel file;
    file.exists = run.chance(75);
    std::string bytes;
    for (uint32_t i = 0, n = file.exists ? 1 + run.pick(6) : 0; i < n; ++i) {
        Fields f{};
        if (!run.chance(12)) {
            f = randomEntry(run, Kind::airport, 0);
            f[fName] = randomName(run);
            if (run.chance(12))
                f[fLatD] = digits(run, 91, 99);
        }
        std::string line(62, ' ');
        const size_t columns[10] = {0, 6, 32, 34, 38, 42, 46, 48, 52, 56};
        const size_t widths[10] = {6, 26, 2, 4, 4, 4, 2, 4, 4, 4};
        for (int k = 0; k < 10; ++k)
            put(line, columns[k], widths[k], f[k]);
        bytes += line + "\r\n";
        f[fName] = cut(f[fName], 24);
        file.lines.push_back(f);
    }
    if (file.exists)
        writeFileBytes("Tarvix.dat", bytes);
    return file;
}

// "TarvixTr.dat": a tour numbered from 001, with a blank line now and then.
ExchangeFileModel writeTourFile(Run& run) {
    ExchangeFileModel file;
    file.exists = run.chance(75);
    std::string bytes;
    int number = 0;
    for (uint32_t i = 0, n = file.exists ? 1 + run.pick(6) : 0; i < n; ++i) {
        Fields f{};
        if (!run.chance(12))
            f = randomEntry(run, Kind::tourItem, ++number);
        bytes += lineOf(f, "", f[fIdent].size() > 0);
        file.lines.push_back(f);
    }
    if (file.exists)
        writeFileBytes("TarvixTr.dat", bytes);
    return file;
}

// ---- the dialog as it opens ----

bool adoptOpening(Run& run, const Generated& g) {
    const Snapshot tree = takeSnapshot(run.tree);
    run.note("open the dialog on " + std::to_string(g.records.size()) + " records");
    if (tree.nodes.size() != g.records.size()) {
        run.fail("the tree shows " + std::to_string(tree.nodes.size()) + " items for " +
                 std::to_string(g.records.size()) + " records");
        return false;
    }
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const int32_t number = itemRecordNumber(tree.nodes[i].word);
        if (number < 1 || number > static_cast<int32_t>(g.records.size())) {
            run.fail("item '" + tree.nodes[i].label + "' names no record of the database");
            return false;
        }
        run.model.saved[tree.nodes[i].item] = g.records[number - 1];
    }
    HTREEITEM expected = tree.nodes[0].item;
    for (const Node& node : tree.nodes) {
        if (itemRecordNumber(node.word) == g.marked + 1)
            expected = node.item;
    }
    if (tree.selected != expected) {
        run.fail("the dialog opened with '" + itemText(run.tree, tree.selected) +
                 "' selected, not " + label(tree, tree.find(expected)));
        return false;
    }
    run.model.items = tree.nodes.size();
    run.model.records = static_cast<int32_t>(g.records.size());
    run.model.selected = tree.selected;
    run.model.editor = run.model.saved[tree.selected];
    run.model.airportAltitude = std::to_string(static_cast<long>(g.options.airportAltitude));
    return settle(run, tree, tree, {});
}

// ---- after OK ----

// The records OK must write: each group's entries, then its folders, each with what it holds.
void expectedRecords(const Snapshot& shown, const Model& model, int parent, int depth,
                     std::vector<std::pair<int, std::string>>& out) {
    for (int i : shown.group(parent)) {
        if (!isFolder(shown.nodes[i].kind()))
            out.push_back({i, shown.nodes[i].item == shown.selected ? "-1" : ""});
    }
    for (int i : shown.group(parent)) {
        if (isFolder(shown.nodes[i].kind())) {
            out.push_back({i, std::to_string(depth > 99 ? 99 : depth)});
            expectedRecords(shown, model, i, depth + 1, out);
        }
    }
}

double rawLatitude(const Fields& f) {
    const double degrees = std::atoi(f[fLatD].c_str()) + std::atoi(f[fLatM].c_str()) / 60.0 +
                           std::atof(f[fLatS].c_str()) / 3600.0;
    return (f[fLatH] == "N" ? 1 : -1) * degrees / 90.0 * 10001748.0;
}

double rawLongitude(const Fields& f) {
    double fraction = (std::atoi(f[fLonD].c_str()) + std::atoi(f[fLonM].c_str()) / 60.0 +
                       std::atof(f[fLonS].c_str()) / 3600.0) /
                      180.0;
    if (f[fLonH] != "E")
        fraction = -fraction;
    if (fraction < 0)
        fraction += 2;
    return fraction * 140737488355328.0 + 0.01;
}

std::string trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string checkSavedDatabase(Run& run, const Snapshot& shown, const DialogLibrary& library) {
    std::vector<std::pair<int, std::string>> expected;
    expectedRecords(shown, run.model, -1, 1, expected);
    std::string levels, tourFlags;
    const std::vector<Fields> records = databaseRecords(levels, tourFlags);
    if (records.size() != expected.size())
        return "OK wrote " + std::to_string(records.size()) + " records for a tree of " +
               std::to_string(expected.size()) + " items";
    int chosen = 0;
    size_t levelAt = 0;
    for (size_t k = 0; k < records.size(); ++k) {
        const Node& node = shown.nodes[expected[k].first];
        const std::string level = levels.substr(levelAt, levels.find('|', levelAt) - levelAt);
        levelAt = levels.find('|', levelAt) + 1;
        Fields wanted = run.model.saved[node.item];
        if (node.kind() == Kind::tourItem)
            wanted[fIdent] = node.label.substr(0, node.label.find(" - "));
        std::vector<Field> compared = fieldsOf(node.kind());
        if (node.kind() == Kind::tourItem)
            compared.push_back(fIdent);
        for (Field f : compared) {
            if (records[k][f] != wanted[f])
                return "record " + std::to_string(k + 1) + " after OK reads " +
                       recordText(records[k], node.kind()) + " where " +
                       recordText(wanted, node.kind()) + " was shown";
        }
        if (level != expected[k].second || (tourFlags[k] == '1') != isTour(node.kind()))
            return "record " + std::to_string(k + 1) + " after OK has level '" + level +
                   "' and tour flag '" + tourFlags[k] + "' for " + kindName(node.kind()) + " '" +
                   node.label + "' (level '" + expected[k].second + "' expected)";
        if (expected[k].second == "-1")
            chosen = static_cast<int>(k) + 1;
    }
    ExchangeRecord gauge{};
    library.getData(&gauge);
    const Fields& mine = run.model.saved[shown.selected];
    const int at = shown.find(shown.selected);
    const std::string ident =
        shown.nodes[at].kind() == Kind::tourItem
            ? shown.nodes[at].label.substr(0, shown.nodes[at].label.find(" - "))
            : mine[fIdent];
    if (gauge.recordNumber != chosen || gauge.mode != (isTour(shown.nodes[at].kind()) ? 1 : 0) ||
        trimmed(gauge.ident) != ident || trimmed(gauge.name) != mine[fName] ||
        std::fabs(gauge.latitude - rawLatitude(mine)) > 1 ||
        std::fabs(gauge.longitude - rawLongitude(mine)) > 1 ||
        gauge.airportAltitude != std::atoi(run.model.airportAltitude.c_str()))
        return "the gauge's record (record " + std::to_string(gauge.recordNumber) + ", mode " +
               std::to_string(gauge.mode) + ", '" + gauge.ident + "' '" + gauge.name +
               "', altitude " + std::to_string(gauge.airportAltitude) +
               ") does not agree with the chosen " + recordText(mine, shown.nodes[at].kind()) +
               " of record " + std::to_string(chosen);
    return {};
}

} // namespace

void Run::note(const std::string& what) {
    outcome->steps.push_back(what);
    outcome->operationsRun = static_cast<int>(outcome->steps.size());
    boxesBefore = answerer ? answerer->seen().size() : 0;
    if (plan.verbose)
        std::printf("%4d. %s  [files before: %s]\n", outcome->operationsRun, what.c_str(),
                    filesDigest().c_str());
    WatchState& w = watch();
    EnterCriticalSection(&w.lock);
    w.steps.push_back(what);
    w.lastProgress = GetTickCount();
    LeaveCriticalSection(&w.lock);
}

void Run::fail(const std::string& why) {
    if (!failure.empty())
        return;
    failure = why;
    if (tree && IsWindow(tree))
        outcome->tree = treeText(tree);
}

std::vector<std::string> Run::newBoxes() const {
    std::vector<std::string> texts;
    const std::vector<SeenMessageBox>& seen = answerer->seen();
    for (size_t i = boxesBefore; i < seen.size(); ++i)
        texts.push_back(seen[i].text);
    return texts;
}

SequenceOutcome runEditSequence(const SequencePlan& plan) {
    SequenceOutcome outcome;
    Run run;
    run.plan = plan;
    run.outcome = &outcome;
    run.random.seed(plan.seed);
    {
        WatchState& w = watch();
        EnterCriticalSection(&w.lock);
        w.running = true;
        w.seed = plan.seed;
        w.operations = plan.operations;
        w.steps.clear();
        w.lastProgress = GetTickCount();
        LeaveCriticalSection(&w.lock);
    }
    const std::string folder = plan.inCurrentFolder ? std::string() : enterFreshFolder();
    DialogLibrary library;
    RecordExportFn settingDialog = nullptr;
    if (library.load())
        settingDialog = library.bind(settingDialogExport);
    if (!settingDialog) {
        outcome.failure = "the dialog library did not load";
        return outcome;
    }
    if (plan.loaded)
        plan.loaded(library.module());
    Generated g = generateDatabase(run);
    writeFileBytes("TarvixDb.dat", g.database);
    run.model.airportFile = writeAirportFile(run);
    run.model.tourFile = writeTourFile(run);
    library.setData(&g.options);
    bool ok = run.chance(60);
    Snapshot shown;
    bool closed = false;
    {
        MessageBoxAnswerer answerer;
        run.answerer = &answerer;
        DialogDriver driver({[&](HWND dialog) {
                                 run.dialog = dialog;
                                 run.tree = GetDlgItem(dialog, IDC_TREE);
                                 bool going = adoptOpening(run, g);
                                 for (int i = 0; going && i < plan.operations; ++i) {
                                     if (plan.beforeOperation)
                                         plan.beforeOperation(i + 1);
                                     going = randomOperation(run);
                                 }
                                 if (going && plan.beforeOperation)
                                     plan.beforeOperation(plan.operations + 1);
                                 closed = going && closeDialog(run, ok, shown);
                                 if (!closed)
                                     EndDialog(dialog, -1);
                             },
                             [&](HWND dialog) {
                                 run.fail(std::string("the dialog stayed open after ") +
                                          (ok ? "OK" : "Cancel"));
                                 closed = false;
                                 EndDialog(dialog, -1);
                             }},
                            600000);
        ExchangeRecord aircraft{};
        aircraft.aircraftLatitude = aircraftLatitude;
        aircraft.aircraftLongitude = aircraftLongitude;
        settingDialog(&aircraft);
        if (!driver.dialog())
            run.fail("the settings dialog did not open");
        run.answerer = nullptr;
    }
    if (plan.verbose)
        std::printf("      [files after closing: %s]\n", filesDigest().c_str());
    if (run.failure.empty() && closed) {
        if (fileExists("TarvixDb.$$$"))
            run.fail("the clipboard file outlived the dialog");
        else if (!ok && readFileBytes("TarvixDb.dat") != g.database)
            run.fail("Cancel left the database other than it was");
        else if (ok)
            run.fail(checkSavedDatabase(run, shown, library));
    }
    outcome.failure = run.failure;
    outcome.passed = outcome.failure.empty();
    EnterCriticalSection(&watch().lock);
    watch().running = false;
    LeaveCriticalSection(&watch().lock);
    if (outcome.passed && !plan.inCurrentFolder) {
        for (const char* name : {"TarvixDb.dat", "TarvixDb.bak", "Tarvix.dat", "TarvixTr.dat"})
            DeleteFileA(name);
        SetCurrentDirectoryA("..");
        RemoveDirectoryA(folder.c_str());
    }
    return outcome;
}

std::string generatedDatabase(uint32_t seed) {
    Run run;
    run.random.seed(seed);
    return generateDatabase(run).database;
}

std::string sequenceReport(const SequencePlan& plan, const SequenceOutcome& outcome) {
    std::string text = "edit sequence of seed " + std::to_string(plan.seed) + " failed after " +
                       std::to_string(outcome.operationsRun) + " operations: " + outcome.failure +
                       "\nreplay: ./tarvix soak --seed " + std::to_string(plan.seed) +
                       " --operations " + std::to_string(plan.operations) + "\noperations:\n";
    for (size_t i = 0; i < outcome.steps.size(); ++i)
        text += "  " + std::to_string(i + 1) + ". " + outcome.steps[i] + "\n";
    if (!outcome.tree.empty())
        text += "the tree then:\n" + outcome.tree;
    return text;
}

void startSequenceWatchdog(unsigned seconds) {
    watch().limitSeconds = seconds;
    static bool started = false;
    if (!started)
        CloseHandle(CreateThread(nullptr, 0, &watchdogThread, nullptr, 0, nullptr));
    started = true;
}
