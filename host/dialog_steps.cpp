#include "dialog_steps.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>

#include "dialog/dialog_resources.h"
#include "button_names.h"
#include "dialog_driver.h"
#include "message_boxes.h"
#include "panel_host.h"
#include "window_capture.h"

namespace {

HTREEITEM relative(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// A label as the pilot reads it: the tree shows folders with a leading space.
std::string shownLabel(HWND tree, HTREEITEM item) {
    char text[128] = "";
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    std::string label = text;
    size_t first = label.find_first_not_of(' '), last = label.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : label.substr(first, last - first + 1);
}

// Text between the scenario's UTF-8 and the tree's labels, which are in the ANSI code page.
std::string recoded(const std::string& text, UINT from, UINT to) {
    int wide = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wide <= 0)
        return text;
    std::wstring middle(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &middle[0], wide);
    int narrow = WideCharToMultiByte(to, 0, middle.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(narrow > 0 ? narrow : 0), '\0');
    WideCharToMultiByte(to, 0, middle.data(), wide, &out[0], narrow, nullptr, nullptr);
    return out;
}

// The item at folder/.../entry, each a whole label, opening the folders on the way as a pilot
// would. A label may hold a slash itself ("KMDW/Chicago"): the longest label that the rest of
// the path starts with is taken. Of top-level entries of one label the first is taken, or the
// last when newest is set: an import puts its new folder last, under the same name as every
// import before it. On failure says which part is missing and what its folder holds.
HTREEITEM findPath(HWND tree, const std::string& path, bool newest, std::string& problem) {
    HTREEITEM parent = TVI_ROOT, found = nullptr;
    std::string walked, rest = recoded(path, CP_UTF8, CP_ACP);
    for (;;) {
        std::string held;
        size_t longest = 0;
        found = nullptr;
        HTREEITEM first = parent == TVI_ROOT ? relative(tree, nullptr, TVGN_ROOT)
                                             : relative(tree, parent, TVGN_CHILD);
        bool takeLast = newest && parent == TVI_ROOT;
        for (HTREEITEM item = first; item; item = relative(tree, item, TVGN_NEXT)) {
            std::string label = shownLabel(tree, item);
            bool leads = !label.empty() &&
                         (rest == label || rest.compare(0, label.size() + 1, label + "/") == 0);
            if (leads &&
                (!found || label.size() > longest || (takeLast && label.size() == longest))) {
                found = item;
                longest = label.size();
            }
            held += (held.empty() ? "'" : ", '") + recoded(label, CP_ACP, CP_UTF8) + "'";
        }
        if (!found) {
            problem = "no entry '" + path + "' in the settings dialog's tree: " +
                      (walked.empty() ? std::string("its top level") : "'" + walked + "'") +
                      " holds " + (held.empty() ? std::string("nothing") : held) + ", not '" +
                      recoded(rest.substr(0, rest.find('/')), CP_ACP, CP_UTF8) + "'";
            return nullptr;
        }
        walked += (walked.empty() ? "" : "/") + recoded(rest.substr(0, longest), CP_ACP, CP_UTF8);
        if (longest == rest.size())
            return found;
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(found));
        parent = found;
        rest = rest.substr(longest + 1);
    }
}

struct Work {
    const ScenarioClick& step;
    StepReport& report;
    bool stopped = false; // a failure ended the work: the remaining steps do nothing
    std::string lastClose;
};

// Ends the work at a failure: the dialog is put back as it was opened (Cancel) or closed (the
// About box has only OK).
void fail(Work& work, HWND dialog, const std::string& why) {
    work.report.failed = true;
    work.report.failure = why;
    work.stopped = true;
    int id = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK;
    work.lastClose = id == IDCANCEL ? "Cancel" : "OK";
    work.report.lines.push_back("pressed " + work.lastClose +
                                " to close the dialog after the failure");
    clickButton(dialog, id);
}

void selectEntry(Work& work, HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    std::string problem;
    bool imported = false;
    for (const std::string& button : work.step.press)
        imported = imported || isImportButton(button);
    HTREEITEM item = tree ? findPath(tree, work.step.select, imported, problem) : nullptr;
    if (!tree)
        problem = "the dialog has no tree to select '" + work.step.select + "' in";
    if (!item)
        return fail(work, dialog, problem);
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (relative(tree, nullptr, TVGN_CARET) != item)
        return fail(work, dialog,
                    "the tree did not take the selection of '" + work.step.select + "'");
    work.report.lines.push_back("selected '" + work.step.select + "'");
}

const char* fieldName(DialogField field) {
    static const char* const names[] = {"ident",     "name",         "latitude", "longitude",
                                        "autopilot", "altitudeHold", "altitude"};
    return names[static_cast<int>(field)];
}

// The controls of a setting. The autopilot options have one set for airports and one for
// tours; the one that is enabled belongs to the entry shown.
struct Controls {
    int hemisphere[2]; // north/east, south/west radio buttons
    int edits[3];
};

bool isEnabled(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

bool usable(Work& work, HWND dialog, int id, const char* field, const char* control) {
    if (isEnabled(dialog, id))
        return true;
    fail(work, dialog,
         std::string("'") + field + "' cannot be set: " + control +
             " is disabled for the selected entry");
    return false;
}

void type(HWND dialog, int id, const std::string& text) {
    SetFocus(GetDlgItem(dialog, id));
    SetDlgItemTextA(dialog, id, text.c_str());
}

void setPosition(Work& work, HWND dialog, const DialogSetting& s) {
    bool latitude = s.field == DialogField::latitude;
    const Controls c =
        latitude ? Controls{{IDC_NORTH, IDC_SOUTH},
                            {IDC_LATITUDE_DEGREES, IDC_LATITUDE_MINUTES, IDC_LATITUDE_SECONDS}}
                 : Controls{{IDC_EAST, IDC_WEST},
                            {IDC_LONGITUDE_DEGREES, IDC_LONGITUDE_MINUTES, IDC_LONGITUDE_SECONDS}};
    if (!usable(work, dialog, c.edits[0], fieldName(s.field), "the position"))
        return;
    clickButton(dialog, c.hemisphere[s.position.northOrEast ? 0 : 1]);
    const std::string* parts[] = {&s.position.degrees, &s.position.minutes, &s.position.seconds};
    for (int i = 0; i < 3; ++i)
        type(dialog, c.edits[i], *parts[i]);
}

void setOption(Work& work, HWND dialog, const DialogSetting& s) {
    bool tour = isEnabled(dialog, IDC_TOUR_AUTOPILOT_ON);
    if (!tour && !isEnabled(dialog, IDC_AIRPORT_AUTOPILOT_ON))
        return fail(work, dialog,
                    std::string("'") + fieldName(s.field) +
                        "' cannot be set: the selected entry is a folder, which has no autopilot "
                        "options");
    const char* which = tour ? "the tour's " : "the airport's ";
    switch (s.field) {
    case DialogField::autopilot:
        clickButton(dialog, s.on ? (tour ? IDC_TOUR_AUTOPILOT_ON : IDC_AIRPORT_AUTOPILOT_ON)
                                 : (tour ? IDC_TOUR_AUTOPILOT_OFF : IDC_AIRPORT_AUTOPILOT_OFF));
        break;
    case DialogField::altitudeHold: {
        int id = tour ? IDC_TOUR_ALTITUDE_HOLD : IDC_AIRPORT_ALTITUDE_HOLD;
        if (!usable(work, dialog, id, "altitudeHold",
                    (std::string(which) + "altitude hold box (the autopilot is off)").c_str()))
            return;
        if ((IsDlgButtonChecked(dialog, id) == BST_CHECKED) != s.on)
            clickButton(dialog, id);
        break;
    }
    default: {
        int id = tour ? IDC_TOUR_ALTITUDE : IDC_AIRPORT_ALTITUDE;
        if (!usable(work, dialog, id, "altitude",
                    (std::string(which) + "altitude (altitude hold is off)").c_str()))
            return;
        type(dialog, id, s.text);
        break;
    }
    }
}

void applySetting(Work& work, HWND dialog, const DialogSetting& s) {
    switch (s.field) {
    case DialogField::ident:
        if (usable(work, dialog, IDC_IDENT, "ident", "the ID (a tour item's is its number)"))
            type(dialog, IDC_IDENT, s.text);
        break;
    case DialogField::name:
        if (usable(work, dialog, IDC_NAME, "name", "the name"))
            type(dialog, IDC_NAME, s.text);
        break;
    case DialogField::latitude:
    case DialogField::longitude:
        setPosition(work, dialog, s);
        break;
    default:
        setOption(work, dialog, s);
        break;
    }
    if (!work.stopped)
        work.report.lines.push_back(std::string("set ") + fieldName(s.field));
}

// What an import brought in: the entries of the folder it put last.
std::string importedEntries(HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    HTREEITEM last = nullptr;
    for (HTREEITEM item = relative(tree, nullptr, TVGN_ROOT); item;
         item = relative(tree, item, TVGN_NEXT))
        last = item;
    if (last == nullptr)
        return "nothing";
    int32_t entries = 0;
    for (HTREEITEM item = relative(tree, last, TVGN_CHILD); item;
         item = relative(tree, item, TVGN_NEXT))
        ++entries;
    return "'" + shownLabel(tree, last) + "' with " + std::to_string(entries) +
           (entries == 1 ? " entry" : " entries");
}

// The file buttons, as a pilot clicks them; the questions they ask go to the answerer.
void pressFileButton(Work& work, HWND dialog, const std::string& button) {
    int id = button == TOUR_IMPORT_LABEL      ? IDC_TOUR_IMPORT
             : button == AIRPORT_IMPORT_LABEL ? IDC_AIRPORT_IMPORT
                                              : IDC_EXPORT;
    if (!isEnabled(dialog, id))
        return fail(work, dialog, "the button '" + button + "' is disabled");
    work.report.lines.push_back("pressed " + button);
    clickButton(dialog, id);
    if (id != IDC_EXPORT)
        work.report.lines.push_back("the tree ends in " + importedEntries(dialog));
}

void pictureDialog(Work& work, HWND dialog) {
    PanelPicture picture;
    std::string error;
    if (!captureWindow(dialog, picture) || !writePng(work.step.picture, picture, error))
        return fail(work, dialog, "cannot write the dialog's picture '" + work.step.picture + "'");
    work.report.written.push_back(work.step.picture);
    work.report.lines.push_back("pictured the dialog in " + work.step.picture);
}

std::vector<DialogDriver::Step> stepsOf(Work& work) {
    std::vector<DialogDriver::Step> steps;
    auto unlessStopped = [&work](std::function<void(HWND)> action) {
        return [&work, action](HWND dialog) {
            if (!work.stopped)
                action(dialog);
        };
    };
    const ScenarioClick& step = work.step;
    for (const std::string& button : step.press)
        if (isImportButton(button))
            steps.push_back(
                unlessStopped([&work, &button](HWND d) { pressFileButton(work, d, button); }));
    if (!step.select.empty())
        steps.push_back(unlessStopped([&work](HWND d) { selectEntry(work, d); }));
    for (const DialogSetting& s : step.settings)
        steps.push_back(unlessStopped([&work, &s](HWND d) { applySetting(work, d, s); }));
    for (const std::string& button : step.press)
        if (!isImportButton(button))
            steps.push_back(
                unlessStopped([&work, &button](HWND d) { pressFileButton(work, d, button); }));
    if (!step.picture.empty())
        steps.push_back(unlessStopped([&work](HWND d) { pictureDialog(work, d); }));
    for (const std::string& button : step.close)
        steps.push_back(unlessStopped([&work, button](HWND d) {
            work.lastClose = button;
            work.report.lines.push_back("pressed " + button);
            clickButton(d, button == "OK" ? IDOK : IDCANCEL);
        }));
    return steps;
}

// Every box the step met is in the log; one it did not expect, or an expected one that never
// came, fails it.
void checkMessages(const std::vector<SeenMessageBox>& boxes, Work& work) {
    std::vector<std::string> expected = work.step.expectMessages;
    const std::vector<std::string>& answers = work.step.answers;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const SeenMessageBox& box = boxes[i];
        std::string answer = i < answers.size()    ? " (answered " + answers[i] + ")"
                             : box.buttons.empty() ? ""
                                                   : " (answered " + box.buttons[0] + ")";
        work.report.lines.push_back("message box '" + box.caption + "': " + box.text + answer);
        bool wanted = false;
        for (const std::string& text : expected)
            wanted = wanted || text == box.text;
        if (!wanted && !work.report.failed) {
            work.report.failed = true;
            work.report.failure = "an unexpected message box '" + box.caption + "': " + box.text;
        }
    }
    for (const std::string& text : expected) {
        bool seen = false;
        for (const SeenMessageBox& box : boxes)
            seen = seen || box.text == text;
        if (!seen && !work.report.failed) {
            work.report.failed = true;
            work.report.failure = "the expected message '" + text + "' never appeared";
        }
    }
}

} // namespace

StepReport pressWithDialog(const ScenarioClick& step, const std::string& name) {
    StepReport report{};
    Work work{step, report, false, ""};
    int32_t x = 0, y = 0;
    if (!buttonCentre(buttonIndex(step.button), x, y)) {
        report.failed = true;
        report.failure = name + ": the gauge has no " + step.button + " button to press";
        return report;
    }
    std::vector<SeenMessageBox> boxes;
    bool timedOut = false;
    {
        std::vector<int> answers;
        for (const std::string& answer : step.answers)
            answers.push_back(answer == "Yes"  ? IDYES
                              : answer == "No" ? IDNO
                              : answer == "OK" ? IDOK
                                               : IDCANCEL);
        MessageBoxAnswerer answerer(answers);
        DialogDriver driver(stepsOf(work), static_cast<UINT>(step.timeLimit * 1000));
        DWORD pressed = GetTickCount();
        clickGauge(x, y, nullptr);
        report.wallSeconds = (GetTickCount() - pressed) / 1000.0;
        boxes = answerer.seen();
        report.dialogShown = driver.dialog() != nullptr;
        timedOut = driver.watchdogFired();
    }
    checkMessages(boxes, work);
    char limit[32];
    std::snprintf(limit, sizeof limit, "%g s", step.timeLimit);
    if (!report.dialogShown) {
        if (!report.failed) {
            report.failed = true;
            report.failure = std::string("the ") +
                             (opensSettingsDialog(step.button) ? "settings dialog" : "About box") +
                             " did not open";
        }
    } else if (timedOut) {
        report.closedBy = "time limit";
        report.lines.push_back(std::string("the dialog was left open (") +
                               (step.close.empty() ? "the step presses neither OK nor Cancel"
                                                   : "its buttons did not close it") +
                               "): cancelled after the time limit of " + limit);
    } else {
        report.closedBy = work.lastClose.empty() ? "its own" : work.lastClose;
        char after[64];
        std::snprintf(after, sizeof after, " %.2f s after the press", report.wallSeconds);
        report.lines.push_back("the dialog closed (" + report.closedBy + ")" + after);
    }
    if (report.failed)
        report.failure = name + ": " + report.failure;
    return report;
}
