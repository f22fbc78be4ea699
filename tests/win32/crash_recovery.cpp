// A crash of the settings dialog with a real process death, and the opening after it: the
// sequence of the seed is run once to its end in a child (what it does, call by call, and what
// OK leaves), then again in a fresh folder in a child that is ended at the point of death, and
// the dialog is opened afresh where the dead child worked.
#include "tests/win32/crash_recovery.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "host/dialog_driver.h"
#include "host/message_boxes.h"
#include "testkit/db_fixtures.h"
#include "testkit/settings_session.h"
#include "testkit/test_support.h"
#include "tests/win32/edit_sequence.h"

namespace {

const char* const databaseName = "TarvixDb.dat";

// ---- the child ----

struct Call {
    int operation; // 0 while the dialog opens
    std::string function, file, other;
    bool operator==(const Call& c) const {
        return function == c.function && file == c.file && other == c.other;
    }
};

struct ChildRun {
    std::vector<Call> calls; // numbered from 1
    bool died = false;       // ended at its point of death
    bool passed = false;     // ran its sequence to the end, every rule held
    bool closedWithOk = false;
    std::string text; // what it said besides where it was
};

void takeLine(ChildRun& run, const std::string& line, int& operation, HANDLE process) {
    char function[40], file[MAX_PATH], other[MAX_PATH] = "";
    int number = 0;
    if (std::sscanf(line.c_str(), "operation %d", &number) == 1)
        operation = number;
    else if (std::sscanf(line.c_str(), "call %d %39s %259s -> %259s", &number, function, file,
                         other) >= 3)
        run.calls.push_back({operation, function, file, other});
    else if (line == "waiting") {
        TerminateProcess(process, 9);
        run.died = true;
    } else if (line.rfind("passed", 0) == 0) {
        run.passed = true;
        run.closedWithOk = line == "passed OK";
    } else {
        run.text += line + "\n";
    }
}

// Runs crash_child in the folder with the arguments, reading what it says as it goes; ends it
// from outside the moment it says it waits at its point of death.
ChildRun runChild(const std::string& folder, const std::string& arguments, bool echo) {
    ChildRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reading = nullptr, writing = nullptr;
    CreatePipe(&reading, &writing, &inherit, 1 << 16);
    SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = writing;
    std::string line = "\"" + binFolder() + "\\tests\\crash_child.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &startup, &process);
    CloseHandle(writing);
    if (!started) {
        CloseHandle(reading);
        run.text =
            "crash_child.exe could not be started (error " + std::to_string(GetLastError()) + ")\n";
        return run;
    }
    // The child's own watchdog ends it when its sequence hangs; this is the guard behind it.
    const DWORD start = GetTickCount();
    std::string pending;
    int operation = 0;
    for (;;) {
        // Whether it had ended before the look into the pipe: then all it said is there.
        const bool ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        DWORD available = 0, got = 0;
        char bytes[4096];
        if (PeekNamedPipe(reading, nullptr, 0, nullptr, &available, nullptr) && available &&
            ReadFile(reading, bytes, sizeof bytes, &got, nullptr)) {
            pending.append(bytes, got);
            for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string said = pending.substr(0, end - (end && pending[end - 1] == '\r'));
                pending.erase(0, end + 1);
                if (echo)
                    std::printf("  | %s\n", said.c_str());
                takeLine(run, said, operation, process.hProcess);
            }
            continue;
        }
        if (ended)
            break;
        if (GetTickCount() - start > 120000) {
            TerminateProcess(process.hProcess, 9);
            run.text += "[crash_child.exe stopped after 120 s]\n";
        }
        WaitForSingleObject(process.hProcess, 5);
    }
    DWORD code = 0;
    if (!run.died && GetExitCodeProcess(process.hProcess, &code) && code > 1)
        run.text += "[crash_child.exe ended with status " + std::to_string(code) + "]\n";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(reading);
    return run;
}

std::string boxesText(const std::vector<SeenMessageBox>& boxes) {
    std::string text;
    for (const SeenMessageBox& box : boxes)
        text += " [" + box.caption + ": " + box.text + "]";
    return boxes.empty() ? " none" : text;
}

void copyFiles(const std::string& from, const std::string& to) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(),
                  FALSE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        DeleteFileA((folder + "\\" + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder.c_str());
}

// ---- what the death must have left ----

// A change of the database by the session: a record written, or a file put in its place.
bool changesDatabase(const Call& call) {
    if (call.function == "WriteFile" || call.function == "DeleteFileA")
        return call.file == databaseName;
    return call.other == databaseName;
}

bool putsDatabaseInPlace(const Call& call) {
    return call.function.rfind("MoveFile", 0) == 0 && call.other == databaseName;
}

// The known states of the database, by name, for a failure message.
struct Versions {
    std::string accepted, saved, leftByTheDead;
    std::string name(const std::string& bytes) const {
        const std::string marked = markedRecords(bytes);
        const std::string shape = std::to_string(bytes.size() / 64) + " records, " +
                                  (marked.empty() ? "no marker" : "the marker on " + marked);
        if (bytes == accepted)
            return "the database as it was before the dialog opened (" + shape + ")";
        if (bytes == saved)
            return "the database OK wrote (" + shape + ")";
        if (bytes == leftByTheDead)
            return "the file the dead session left (" + shape + ")";
        return "a database of " + shape + " that is none of the session's";
    }
};

struct Judgement {
    bool expectSaved = false; // OK's replace went through, or the dialog had closed
    int boxesAtLeast = 0, boxesAtMost = 1;
};

// The first line of the text that differs from the other's line in its place, and its number.
std::string firstDifference(const std::string& text, const std::string& other) {
    size_t at = 0, line = 1;
    for (size_t end; (end = text.find('\n', at)) != std::string::npos &&
                     text.compare(at, end + 1 - at, other, at, end + 1 - at) == 0;
         ++line)
        at = end + 1;
    return "'" + text.substr(at, text.find('\n', at) - at) + "' at line " + std::to_string(line);
}

// Every rule the opening broke, one after the other; empty when it kept them all.
std::string checkOpening(const Opening& seen, const std::string& expected,
                         const std::string& cleanTree, const Judgement& judgement,
                         const Versions& versions, const char* which) {
    const std::string opening = std::string(which) + " opening after the death";
    if (!seen.opened)
        return "the dialog did not open at the " + opening +
               "; message boxes:" + boxesText(seen.boxes);
    std::string broken;
    auto add = [&broken](const std::string& rule) {
        broken += (broken.empty() ? "" : "; ") + rule;
    };
    if (seen.database != expected)
        add("Cancel at the " + opening + " left " + versions.name(seen.database) + " where " +
            versions.name(expected) + " was expected");
    else if (seen.tree != cleanTree)
        add("the " + opening + " showed " + firstDifference(seen.tree, cleanTree) + " where " +
            versions.name(expected) + " shows " + firstDifference(cleanTree, seen.tree));
    const int boxes = static_cast<int>(seen.boxes.size());
    if (boxes < judgement.boxesAtLeast || boxes > judgement.boxesAtMost)
        add("the " + opening + " showed " + std::to_string(boxes) + " message boxes where " +
            (judgement.boxesAtLeast  ? "one (the dead session's changes were lost)"
             : judgement.boxesAtMost ? "at most one"
                                     : "none (all that OK saved was kept)") +
            " was expected:" + boxesText(seen.boxes));
    if (seen.scratchLeft)
        add("the scratch file \"TarvixDb.$$$\" outlived the " + opening);
    return broken;
}

std::string callText(const std::vector<Call>& calls, int number) {
    const Call& c = calls[number - 1];
    return c.function + " " + c.file + (c.other.empty() ? "" : " -> " + c.other);
}

} // namespace

Opening openAndCancel(void (*loaded)(HMODULE library)) {
    Opening seen;
    DialogLibrary library;
    const RecordExportFn settingDialog =
        library.load() ? library.bind(settingDialogExport) : nullptr;
    if (!settingDialog)
        return seen;
    if (loaded)
        loaded(library.module());
    {
        MessageBoxAnswerer answerer;
        DialogDriver driver({[&seen](HWND dialog) {
                                seen.opened = true;
                                seen.tree = treeDump(treeOf(dialog)) +
                                            "selected: " + selectedLabel(dialog) + "\n";
                                clickButton(dialog, IDCANCEL);
                            }},
                            30000);
        ExchangeRecord aircraft{};
        settingDialog(&aircraft);
        seen.boxes = answerer.seen();
    }
    seen.database = readFileBytes(databaseName);
    seen.scratchLeft = fileExists("TarvixDb.$$$");
    return seen;
}

bool parseDeathPoint(const char* text, DeathPoint& point) {
    int number = 0;
    char kind[16] = "";
    if (std::sscanf(text, "%15[a-z]:%d", kind, &number) != 2 || number < 1)
        return false;
    point.number = number;
    point.kind = std::strcmp(kind, "operation") == 0 ? DeathPoint::operation
                 : std::strcmp(kind, "call") == 0    ? DeathPoint::call
                                                     : DeathPoint::none;
    return point.kind != DeathPoint::none;
}

std::string deathPointText(const DeathPoint& point) {
    return std::string(point.kind == DeathPoint::call ? "call:" : "operation:") +
           std::to_string(point.number);
}

CrashOutcome runCrash(CrashPlan plan) {
    CrashOutcome outcome;
    std::mt19937 random(plan.seed ^ 0x9e3779b9u);
    if (plan.operations < 0)
        plan.operations = random() % 5 == 0 ? 0 : 1 + static_cast<int>(random() % 24);
    const int n = plan.operations;
    outcome.plan = plan;
    const std::string arguments =
        "--seed " + std::to_string(plan.seed) + " --operations " + std::to_string(n);

    // The whole sequence first: every file call it makes, in which operation, and what it leaves.
    const std::string whole = enterFreshFolder();
    const ChildRun first =
        runChild(whole, arguments + (plan.verbose ? " --verbose" : ""), plan.verbose);
    Versions versions{generatedDatabase(plan.seed), readFileBytes(databaseName), {}};
    if (!first.passed) {
        outcome.failure = "the sequence failed before any death; it said:\n" + first.text;
        return outcome;
    }
    const int calls = static_cast<int>(first.calls.size());
    std::vector<int> opening, closing;
    for (int k = 1; k <= calls; ++k) {
        if (first.calls[k - 1].operation == 0)
            opening.push_back(k);
        if (first.calls[k - 1].operation == n + 1)
            closing.push_back(k);
    }
    DeathPoint& death = outcome.plan.death;
    if (death.kind == DeathPoint::none) {
        // Between two operations, or at a call: the opening's and the closing's get a share
        // of their own, as few as they are.
        const uint32_t roll = random() % 100;
        const std::vector<int>& among = roll < 55 ? opening : closing;
        death.kind = roll < 30 ? DeathPoint::operation : DeathPoint::call;
        death.number = roll < 30                   ? 1 + static_cast<int>(random() % (n + 2))
                       : roll < 75 && among.size() ? among[random() % among.size()]
                                                   : 1 + static_cast<int>(random() % calls);
    }
    if (death.number > (death.kind == DeathPoint::call ? calls : n + 2)) {
        outcome.failure = "the sequence has no " + deathPointText(death) + " (" +
                          std::to_string(calls) + " calls, " + std::to_string(n) + " operations)";
        return outcome;
    }
    // The calls done before the death, and where it fell.
    const std::string closedBy = first.closedWithOk ? "OK" : "Cancel";
    int done = 0, operation = death.number;
    if (death.kind == DeathPoint::call) {
        done = death.number - 1;
        operation = first.calls[done].operation;
        outcome.where = "before file call " + std::to_string(death.number) + " of " +
                        std::to_string(calls) + " (" + callText(first.calls, death.number) +
                        ") in " +
                        (operation == 0       ? "the opening"
                         : operation == n + 1 ? "the closing " + closedBy
                                              : "operation " + std::to_string(operation));
    } else {
        while (done < calls && first.calls[done].operation < operation)
            ++done;
        outcome.where = operation == n + 2   ? "after the dialog closed with " + closedBy
                        : operation == n + 1 ? "before the closing " + closedBy
                                             : "before operation " + std::to_string(operation);
    }
    outcome.inOpening = death.kind == DeathPoint::call && operation == 0;
    outcome.inClosing = death.kind == DeathPoint::call && operation == n + 1;

    // What the pilot must find: the accepted database, or OK's once its replace went through;
    // told when changes were lost (the session's writes left the file other than it was), and
    // not told when they were all kept.
    Judgement judgement;
    bool changed = false;
    for (int k = 1; k <= done; ++k) {
        const Call& c = first.calls[k - 1];
        changed |=
            c.operation > 0 && (c.operation <= n || first.closedWithOk) && changesDatabase(c);
        judgement.expectSaved |=
            first.closedWithOk && c.operation == n + 1 && putsDatabaseInPlace(c);
    }
    judgement.expectSaved |= operation == n + 2;
    if (judgement.expectSaved)
        judgement.boxesAtMost = 0;
    const std::string& expected = judgement.expectSaved ? versions.saved : versions.accepted;

    // The same sequence again, ended at the point of death.
    const std::string dead = enterFreshFolder();
    const ChildRun dying = runChild(dead, arguments + " --death " + deathPointText(death), false);
    if (!dying.died) {
        outcome.failure = "the child did not reach its point of death; it said:\n" + dying.text;
        return outcome;
    }
    for (size_t k = 0; k < dying.calls.size(); ++k) {
        if (k >= first.calls.size() || !(dying.calls[k] == first.calls[k])) {
            outcome.failure =
                "the run that died made call " + std::to_string(k + 1) + " " +
                dying.calls[k].function + " " + dying.calls[k].file + " where the whole run made " +
                (k < first.calls.size() ? callText(first.calls, static_cast<int>(k) + 1)
                                        : std::string("none"));
            return outcome;
        }
    }
    versions.leftByTheDead = readFileBytes(databaseName);
    // A death in Cancel's own calls may come before or after it put the database back.
    if (changed && !judgement.expectSaved && !(outcome.inClosing && !first.closedWithOk) &&
        versions.leftByTheDead != versions.accepted)
        judgement.boxesAtLeast = 1;
    // The opening that puts the dead session's work back may die in turn: the same opening, in
    // a copy of the folder, to its end first, to know its calls.
    int& second = outcome.plan.secondDeath;
    const uint32_t secondRoll = random();
    if (second < 0)
        second = secondRoll % 4 ? 0 : static_cast<int>(secondRoll % 1000) + 1;
    if (second > 0) {
        const std::string trial = enterFreshFolder();
        copyFiles(dead, trial);
        const ChildRun reopening = runChild(trial, "--reopen", plan.verbose);
        const int reopenCalls = static_cast<int>(reopening.calls.size());
        SetCurrentDirectoryA(dead.c_str());
        removeFolder(trial);
        if (plan.secondDeath < 0 && reopenCalls)
            second = 1 + (second - 1) % reopenCalls;
        const ChildRun reopenDeath =
            second <= reopenCalls
                ? runChild(dead, "--reopen --death call:" + std::to_string(second), false)
                : ChildRun{};
        if (!reopening.passed || !reopenDeath.died) {
            outcome.failure = "the opening after the death did not reach its own point of death, "
                              "file call " +
                              std::to_string(second) + " of " + std::to_string(reopenCalls) +
                              "; it said:\n" + reopening.text + reopenDeath.text;
            return outcome;
        }
        outcome.diedTwice = true;
        outcome.where += ", then the opening after it before its file call " +
                         std::to_string(second) + " of " + std::to_string(reopenCalls) + " (" +
                         callText(reopening.calls, second) + ")";
        // That opening may have told the pilot already, and its own session, which died as it
        // opened, left a file without the marker that the next opening puts back, perhaps saying
        // so.
        judgement.boxesAtLeast = 0;
        judgement.boxesAtMost = 1;
    }
    const Opening afterDeath = openAndCancel();
    const Opening again = openAndCancel();
    const std::string clean = enterFreshFolder();
    writeFileBytes(databaseName, expected);
    const Opening reference = openAndCancel();
    outcome.failure =
        checkOpening(afterDeath, expected, reference.tree, judgement, versions, "first");
    if (outcome.failure.empty())
        outcome.failure = checkOpening(again, expected, reference.tree,
                                       Judgement{judgement.expectSaved, 0, 0}, versions, "second");
    if (outcome.failure.empty() && !reference.opened)
        outcome.failure = "the dialog did not open on the expected database itself";
    SetCurrentDirectoryA("..");
    outcome.passed = outcome.failure.empty();
    if (outcome.passed) {
        for (const std::string& folder : {whole, dead, clean})
            removeFolder(folder);
    } else {
        outcome.failure += "\nthe folders: whole run " + whole + ", death " + dead;
    }
    return outcome;
}

std::string crashReport(const CrashOutcome& outcome) {
    const CrashPlan& plan = outcome.plan;
    std::string text =
        "crash of seed " + std::to_string(plan.seed) + " (" + std::to_string(plan.operations) +
        " operations), the child " +
        (outcome.where.empty() ? "did not reach its point of death" : "ended " + outcome.where) +
        ": " + (outcome.passed ? "survived" : outcome.failure) + "\n";
    if (!outcome.passed)
        text += "replay: ./tarvix soak --crashes --seed " + std::to_string(plan.seed) +
                " --operations " + std::to_string(plan.operations) +
                (plan.death.kind == DeathPoint::none
                     ? ""
                     : " --death " + deathPointText(plan.death) + " --second-death " +
                           std::to_string(plan.secondDeath)) +
                "\n";
    return text;
}
