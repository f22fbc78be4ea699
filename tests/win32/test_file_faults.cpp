// Every file call an operation of the settings dialog makes is made to fail in turn, once, and
// then again with every later call failing too, as when the machine stops there. Whatever
// fails, the database and the export file are each the old file or the new one, whole; the
// pilot is told whenever an operation did not complete; and after a stop, or a Cancel that
// could not put the database back, the next opening finds exactly the database the pilot last
// accepted (the new one once OK's replace is done), and says so when changes were not kept.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/module_contract.h"
#include "testkit/db_fixtures.h"
#include "dialog/dialog_resources.h"
#include "file_faults.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"
#include "testkit/settings_session.h"
#include "testkit/test_support.h"

namespace {

using Step = DialogDriver::Step;

// Chicago holds two airports and a folder, Lake a tour of three; Midway is the destination.
std::string sampleDatabase() {
    return folderLine("Chicago", 1) + airportLine("KMDW", "Midway", "-1") +
           airportLine("KORD", "O'Hare") + folderLine("Suburbs", 2) + airportLine("KGYY", "Gary") +
           folderLine("Lake", 1, true) + tourItemLine(1, "Milwaukee", "3000") +
           tourItemLine(2, "Escanaba") + tourItemLine(3, "Muskegon");
}

// One airport of the exchange file: ident 6, name 26, each coordinate a hemisphere of 2 and
// three numbers of 4, two spaces, the line end.
std::string exchangeAirport(const char* ident, const char* name) {
    char line[80];
    std::snprintf(line, sizeof line, "%-6s%-26s%-2s%-4s%-4s%-4s%-2s%-4s%-4s%-4s  \r\n", ident, name,
                  "N", "51", "28", "39", "W", "0", "27", "41");
    return line;
}

// Every file the library may leave in the folder, so that each run starts from the same ones.
const char* const libraryFiles[] = {"TarvixDb.dat", "TarvixDb.bak", "TarvixDb.new", "TarvixDb.old",
                                    "TarvixDb.ses", "TarvixDb.sav", "TarvixDb.$$$", "Tarvix.dat",
                                    "TarvixTr.dat", "TarvixEx.$$$", "Tarvix.old",   "TarvixTr.old"};

void startFiles() {
    for (const char* name : libraryFiles)
        DeleteFileA(name);
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    writeFileBytes("Tarvix.dat", exchangeAirport("EGLL", "London Heathrow") +
                                     exchangeAirport("EGKK", "London Gatwick"));
    writeFileBytes("TarvixTr.dat", tourItemLine(1, "Green Bay") + tourItemLine(2, "Door County"));
}

struct Operation {
    const char* name;
    std::vector<Step> before; // in the same session, with no call failing
    std::vector<Step> steps;  // the operation whose calls fail
    const char* outputFile;   // the other file it writes (the clipboard, an export), or nullptr
    bool atOpening = false;   // the calls fail from the dialog's opening on
};

Step select(const char* label) {
    return [label](HWND dialog) { selectLabel(dialog, label); };
}

Step treeCommand(int id) {
    return [id](HWND dialog) { command(dialog, id); };
}

Step click(int id) {
    return [id](HWND dialog) { clickButton(dialog, id); };
}

const std::vector<Operation>& operations() {
    static const std::vector<Operation> all = {
        {"Open", {}, {}, nullptr, true},
        {"Ok", {select("Gary")}, {click(IDOK)}, nullptr},
        {"Cancel", {select("Midway"), treeCommand(IDM_NEW_AIRPORT)}, {click(IDCANCEL)}, nullptr},
        {"NewAirport", {select("O'Hare")}, {treeCommand(IDM_NEW_AIRPORT)}, nullptr},
        {"NewAirportFolder", {select(" Chicago")}, {treeCommand(IDM_NEW_AIRPORT_FOLDER)}, nullptr},
        {"NewTour", {select("002 - Escanaba")}, {treeCommand(IDM_NEW_TOUR)}, nullptr},
        {"NewTourFolder", {select(" Lake")}, {treeCommand(IDM_NEW_TOUR_FOLDER)}, nullptr},
        {"DeleteRenumbers", {select("001 - Milwaukee")}, {treeCommand(IDM_DELETE)}, nullptr},
        {"EditThenSelect",
         {select("O'Hare"), [](HWND dialog) { type(dialog, IDC_NAME, "O'Hare Intl"); }},
         {select("Gary")},
         nullptr},
        {"Cut", {select("Gary")}, {treeCommand(IDM_CUT)}, "TarvixDb.$$$"},
        {"CopyFolder", {select(" Chicago")}, {treeCommand(IDM_COPY)}, "TarvixDb.$$$"},
        {"PasteFolder",
         {select(" Chicago"), treeCommand(IDM_COPY), select("O'Hare")},
         {treeCommand(IDM_PASTE)},
         nullptr},
        {"DragMove",
         {},
         {[](HWND dialog) { startDrag(dialog, "Midway"); },
          [](HWND dialog) { dropOn(dialog, "Gary", false); }},
         nullptr},
        {"DragCopy",
         {},
         {[](HWND dialog) { startDrag(dialog, "003 - Muskegon"); },
          [](HWND dialog) { dropOn(dialog, "001 - Milwaukee", true); }},
         nullptr},
        {"TourImport", {}, {click(IDC_TOUR_IMPORT)}, nullptr},
        {"AirportImport", {}, {click(IDC_AIRPORT_IMPORT)}, nullptr},
        {"AirportExport", {select("O'Hare")}, {click(IDC_EXPORT)}, "Tarvix.dat"},
        {"TourExport", {select("002 - Escanaba")}, {click(IDC_EXPORT)}, "TarvixTr.dat"},
    };
    return all;
}

// What one session with the operation left behind.
struct Outcome {
    std::string before, after;             // the database just before and after the operation
    std::string outputBefore, outputAfter; // the operation's other file likewise
    std::string closed;                    // the database once the dialog had closed
    std::vector<std::string> errors;       // error boxes the operation showed
    bool stillOpen = false;                // the dialog was open after the operation
    bool hung = false;
    std::vector<FileCall> calls; // the operation's, in order
    std::string log;
};

std::string outputBytes(const Operation& operation) {
    return operation.outputFile ? readFileBytes(operation.outputFile) : std::string();
}

// Opens the dialog on the start files, runs the operation with the calls failing as the mode
// says, then presses Cancel when the dialog is still open. In failFrom mode the calls keep
// failing until the dialog has closed: nothing more reaches the disk after a stop.
Outcome runOperation(const Operation& op, bool windows95, FaultMode mode, int32_t k) {
    startFiles();
    DialogLibrary library;
    EXPECT_TRUE(library.load());
    EXPECT_TRUE(takeOverFileCalls(library.module()));
    withoutMoveFileEx(windows95);
    Outcome out;
    MessageBoxAnswerer answerer; // the first button: OK, and Yes to the export's question
    size_t boxesBefore = 0;
    std::vector<Step> steps = op.before;
    auto arm = [&] {
        out.before = readFileBytes("TarvixDb.dat");
        out.outputBefore = outputBytes(op);
        boxesBefore = answerer.seen().size();
        armFileFaults(mode, k);
    };
    if (op.atOpening)
        arm();
    else
        steps.push_back([&](HWND) { arm(); });
    steps.insert(steps.end(), op.steps.begin(), op.steps.end());
    auto afterOperation = [&] {
        out.after = readFileBytes("TarvixDb.dat");
        out.outputAfter = outputBytes(op);
        for (size_t i = boxesBefore; i < answerer.seen().size(); ++i) {
            if (answerer.seen()[i].caption == "Error !")
                out.errors.push_back(answerer.seen()[i].text);
        }
        out.calls = fileCallLog();
        out.log = fileCallText();
    };
    steps.push_back([&](HWND) {
        if (mode != FaultMode::failFrom)
            disarmFileFaults();
        afterOperation();
        out.stillOpen = true;
    });
    steps.push_back(pressCancel);
    {
        DialogDriver driver(steps, dialogWatchdogMilliseconds, StepPace::quickest);
        ExchangeRecord aircraft{};
        library.bind(settingDialogExport)(&aircraft);
        out.hung = driver.watchdogFired();
    }
    disarmFileFaults();
    withoutMoveFileEx(false);
    if (!out.stillOpen)
        afterOperation();
    out.closed = readFileBytes("TarvixDb.dat");
    return out;
}

// After a stop: the dialog opened again by a fresh library, and cancelled at once, which puts
// back what the opening found (once it has put a cut-short replace right).
std::string reopen(std::vector<std::string>& boxes) {
    DialogLibrary library;
    EXPECT_TRUE(library.load());
    MessageBoxAnswerer answerer;
    DialogDriver driver({pressCancel}, dialogWatchdogMilliseconds, StepPace::quickest);
    ExchangeRecord aircraft{};
    library.bind(settingDialogExport)(&aircraft);
    EXPECT_FALSE(driver.watchdogFired());
    for (const SeenMessageBox& box : answerer.seen())
        boxes.push_back(box.text);
    return readFileBytes("TarvixDb.dat");
}

class FileFaults : public ::testing::TestWithParam<std::tuple<int, bool>> {
  protected:
    void SetUp() override { enterFreshFolder(); }

    const Operation& operation() const { return operations()[std::get<0>(GetParam())]; }
    bool windows95() const { return std::get<1>(GetParam()); }
    Outcome run(FaultMode mode, int32_t k) const {
        return runOperation(operation(), windows95(), mode, k);
    }
};

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& text : texts)
        out += "  \"" + text + "\"\n";
    return out;
}

// What is wrong with the outcome of one failing call, as lines; empty when nothing is.
std::string onceProblems(const Operation& op, const Outcome& reference, const Outcome& run) {
    std::string problems;
    auto expect = [&](bool holds, const std::string& what) {
        if (!holds)
            problems += what + "\n";
    };
    expect(!run.hung, "the dialog did not close");
    expect(run.before == reference.before, "the operation started from another database");
    const bool completed = run.after == reference.after;
    expect(!run.after.empty(), "the database is missing");
    expect(completed || run.after == run.before, "the database is neither old nor new");
    // An opening that went on past a refused write of the working copy (the marker left in it)
    // has done its part: the session's mark, not the marker, keeps that copy from being taken
    // for the database.
    const bool opened = op.atOpening && run.stillOpen;
    expect(completed || opened || !run.errors.empty(),
           "the operation did not complete and nothing said so");
    if (op.outputFile) {
        const bool written = run.outputAfter == reference.outputAfter;
        expect(written || run.outputAfter == run.outputBefore,
               std::string(op.outputFile) + " is neither old nor new");
        expect(written || !run.errors.empty(),
               std::string(op.outputFile) + " was not written and nothing said so");
    }
    if (run.stillOpen)
        expect(run.closed == sampleDatabase(), "Cancel afterwards did not restore the database");
    return problems;
}

bool saidChangesNotKept(const std::vector<std::string>& boxes) {
    for (const std::string& text : boxes) {
        if (text.find("did not close properly") != std::string::npos)
            return true;
    }
    return false;
}

// The next opening after a stop, or after the operation closed the dialog with a fault: it
// finds the database as the dialog found it, or OK's new one once its replace was done; it says
// that changes were not kept whenever a session was left open, never after OK's replace, and
// nothing else. A Cancel whose own calls failed may have ended the session or not.
std::string reopenProblems(const Operation& op, const Outcome& reference, const Outcome& run) {
    std::vector<std::string> boxes;
    const std::string opened = reopen(boxes);
    const bool accepted = opened == sampleDatabase();
    const bool saved = std::string(op.name) == "Ok" && opened == reference.after;
    std::string problems;
    if (run.hung)
        problems += "the dialog did not close\n";
    if (!accepted && !saved)
        problems += "the next opening found neither the accepted nor OK's new database\n";
    const bool said = saidChangesNotKept(boxes);
    const bool refusedToOpen = op.atOpening && !run.errors.empty();
    const bool sessionLeft =
        run.stillOpen || (!saved && std::string(op.name) != "Cancel" && !refusedToOpen);
    if (saved && said)
        problems += "the next opening said changes were lost after OK had saved them\n";
    if (accepted && sessionLeft && !said)
        problems += "the next opening did not say that the changes were not kept\n";
    if (boxes.size() > (said ? 1u : 0u))
        problems += "the next opening said:\n" + joined(boxes);
    return problems;
}

TEST_P(FileFaults, EachCallFailingLeavesOldOrNewAndTellsThePilot) {
    const Operation& op = operation();
    const Outcome reference = run(FaultMode::count, 0);
    ASSERT_FALSE(reference.hung);
    ASSERT_TRUE(reference.errors.empty()) << joined(reference.errors);
    const int32_t calls = static_cast<int32_t>(reference.calls.size());
    ASSERT_GT(calls, 0) << "the operation makes no file call to fail";
    ASSERT_TRUE(reference.after != reference.before ||
                reference.outputAfter != reference.outputBefore)
        << "the operation changes nothing to check";
    // Without MoveFileExA only the replaces change: an operation that makes none is the same.
    if (windows95() && reference.log.find("MoveFile") == std::string::npos)
        GTEST_SKIP() << "no file is replaced";

    int32_t pairsTried = 0;
    auto judge = [&](FaultMode mode, int32_t k, const std::string& problems,
                     const std::string& log) {
        ++pairsTried;
        if (problems.empty())
            return;
        const char* how = mode == FaultMode::failOnce   ? "failing once"
                          : mode == FaultMode::cutShort ? "cut short half-way"
                                                        : "the machine stopping";
        ADD_FAILURE() << op.name << ", call " << k << " of " << calls << " " << how << ":\n"
                      << problems << "calls:\n"
                      << log;
    };
    // A write that stops half-way must leave the file as whole as a refused one.
    for (int32_t k = 1; k <= calls; ++k) {
        const FileCall& call = reference.calls[static_cast<size_t>(k - 1)];
        const bool cuttable = call.function == "WriteFile" && call.flags >= 2;
        for (FaultMode mode : {FaultMode::failOnce, FaultMode::cutShort}) {
            if (mode == FaultMode::cutShort && !cuttable)
                continue;
            const Outcome run = this->run(mode, k);
            std::string problems = onceProblems(op, reference, run);
            if (!run.stillOpen)
                problems += reopenProblems(op, reference, run);
            judge(mode, k, problems, run.log + "boxes:\n" + joined(run.errors));
        }
    }
    for (int32_t k = 1; k <= calls; ++k) {
        const Outcome run = this->run(FaultMode::failFrom, k);
        judge(FaultMode::failFrom, k, reopenProblems(op, reference, run), run.log);
    }
    std::printf("%s: %d file calls, %d (operation, call) pairs tried\n", op.name,
                static_cast<int>(calls), static_cast<int>(pairsTried));
}

const Operation& operationNamed(const std::string& name) {
    for (const Operation& op : operations()) {
        if (name == op.name)
            return op;
    }
    ADD_FAILURE() << "no operation " << name;
    return operations().front();
}

// A replace puts a new file in place only after it is flushed, and asks the system to write
// the rename through to the disk before it returns: otherwise a power cut just after OK can
// leave the old file, or none, although the pilot saw the dialog close.
TEST(FileReplace, FlushesTheNewFileAndAsksTheSystemToWriteThrough) {
    struct Case {
        const char* operation;
        const char* from;
        const char* to;
    };
    const Case cases[] = {{"Ok", "TarvixDb.new", "TarvixDb.dat"},
                          {"Cancel", "TarvixDb.new", "TarvixDb.dat"},
                          {"AirportExport", "TarvixEx.$$$", "Tarvix.dat"},
                          {"TourExport", "TarvixEx.$$$", "TarvixTr.dat"}};
    enterFreshFolder();
    for (const Case& c : cases) {
        const Outcome run = runOperation(operationNamed(c.operation), false, FaultMode::count, 0);
        SCOPED_TRACE(testing::Message() << c.operation << ":\n" << run.log);
        int flushed = -1, written = -1, replaced = -1;
        for (size_t i = 0; i < run.calls.size(); ++i) {
            const FileCall& call = run.calls[i];
            // A copy names the file it makes second.
            if ((call.function == "CopyFileA" ? call.other : call.file) != c.from)
                continue;
            if (call.function == "WriteFile" || call.function == "CopyFileA")
                written = static_cast<int>(i);
            if (call.function == "FlushFileBuffers")
                flushed = static_cast<int>(i);
            if (call.function == "MoveFileExA" && call.other == c.to) {
                replaced = static_cast<int>(i);
                EXPECT_EQ(
                    call.flags & (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH),
                    static_cast<uint32_t>(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
            }
        }
        EXPECT_GE(replaced, 0) << "no replace of " << c.to;
        EXPECT_LT(written, flushed) << "the new file is flushed after it is written";
        EXPECT_LT(flushed, replaced) << "and before it takes the old one's place";
    }
}

// The working copy is written in place only once the backup and the session's mark are on the
// disk: a crash after the first such write must find both.
TEST(SessionMark, TheBackupAndTheMarkAreFlushedBeforeTheFirstWriteInPlace) {
    enterFreshFolder();
    const Outcome run = runOperation(operationNamed("Open"), false, FaultMode::count, 0);
    SCOPED_TRACE(run.log);
    auto first = [&](const char* function, const char* file) {
        for (size_t i = 0; i < run.calls.size(); ++i) {
            const FileCall& call = run.calls[i];
            const std::string& named = call.function == "CopyFileA" ? call.other : call.file;
            if (call.function == function && named == file)
                return static_cast<int>(i);
        }
        return -1;
    };
    const int copied = first("CopyFileA", "TarvixDb.bak");
    const int backupFlushed = first("FlushFileBuffers", "TarvixDb.bak");
    const int markFlushed = first("FlushFileBuffers", "TarvixDb.ses");
    const int written = first("WriteFile", "TarvixDb.dat");
    ASSERT_GE(copied, 0);
    ASSERT_GE(written, 0) << "the opening takes the marker out of the file";
    EXPECT_LT(copied, backupFlushed);
    EXPECT_LT(backupFlushed, markFlushed);
    EXPECT_GE(markFlushed, 0);
    EXPECT_LT(markFlushed, written);
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<int, bool>>& info) {
    return std::string(operations()[std::get<0>(info.param)].name) +
           (std::get<1>(info.param) ? "_Windows95" : "_WindowsNT");
}

INSTANTIATE_TEST_SUITE_P(Operations, FileFaults,
                         ::testing::Combine(::testing::Range(0,
                                                             static_cast<int>(operations().size())),
                                            ::testing::Bool()),
                         caseName);

} // namespace
