#include "settings_session.h"

#include <cstring>

#include "dialog/dialog_resources.h"
#include "test_support.h"

HWND treeOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_TREE);
}

std::string itemText(HWND tree, HTREEITEM item) {
    char text[64] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

static void appendText(HWND tree, HTREEITEM first, int depth, std::string& out) {
    for (HTREEITEM item = first; item; item = treeStep(tree, item, TVGN_NEXT)) {
        out += std::string(2 * depth, ' ') + itemText(tree, item) + "\n";
        appendText(tree, treeStep(tree, item, TVGN_CHILD), depth + 1, out);
    }
}

std::string treeText(HWND tree) {
    std::string out;
    appendText(tree, treeStep(tree, nullptr, TVGN_ROOT), 0, out);
    return out;
}

void selectLabel(HWND dialog, const std::string& label) {
    HWND tree = treeOf(dialog);
    HTREEITEM item = findTreeItem(tree, label);
    ASSERT_NE(item, nullptr) << label << " in\n" << treeText(tree);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

std::string selectedLabel(HWND dialog) {
    HWND tree = treeOf(dialog);
    return itemText(tree, treeStep(tree, nullptr, TVGN_CARET));
}

void type(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, '\b', 1);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void command(HWND dialog, int id) {
    SendMessageA(treeOf(dialog), WM_COMMAND, id, 0);
}

POINT labelCentre(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT r = {};
    std::memcpy(&r, &item, sizeof item);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void startDrag(HWND dialog, const std::string& label, bool buttonDown) {
    HTREEITEM item = findTreeItem(treeOf(dialog), label);
    ASSERT_NE(item, nullptr) << label;
    startDrag(dialog, item, buttonDown);
}

void holdLeftButton(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

void startDrag(HWND dialog, HTREEITEM item, bool buttonDown) {
    HWND tree = treeOf(dialog);
    const POINT at = labelCentre(tree, item);
    holdLeftButton(buttonDown);
    PostMessageA(tree, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 20, at.y + 20));
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

// Moves the dragged item to a point in the dialog and lets go there.
static void releaseAt(HWND dialog, POINT inDialog, bool control) {
    const LPARAM at = MAKELPARAM(inDialog.x, inDialog.y);
    SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON | (control ? MK_CONTROL : 0), at);
    holdLeftButton(false);
    SendMessageA(dialog, WM_LBUTTONUP, control ? MK_CONTROL : 0, at);
}

static POINT inDialog(HWND dialog, HWND window, POINT inWindow) {
    MapWindowPoints(window, dialog, &inWindow, 1);
    return inWindow;
}

void dropOn(HWND dialog, const std::string& label, bool control) {
    if (label == "outside") {
        dropOn(dialog, nullptr, control);
        return;
    }
    HTREEITEM target = findTreeItem(treeOf(dialog), label);
    ASSERT_NE(target, nullptr) << label;
    dropOn(dialog, target, control);
}

void dropOn(HWND dialog, HTREEITEM target, bool control) {
    HWND tree = treeOf(dialog);
    if (!target) {
        RECT area;
        GetClientRect(tree, &area);
        releaseAt(dialog, inDialog(dialog, tree, {area.right + 12, area.bottom / 2}), control);
        return;
    }
    releaseAt(dialog, inDialog(dialog, tree, labelCentre(tree, target)), control);
}

void SettingsSession::SetUp() {
    enterFreshFolder();
    ASSERT_TRUE(library.load());
    dialogExport = library.bind(settingDialogExport);
    ASSERT_NE(dialogExport, nullptr);
}

int SettingsSession::run(std::vector<DialogDriver::Step> steps, std::vector<int> answers) {
    MessageBoxAnswerer answerer(std::move(answers));
    DialogDriver driver(std::move(steps), dialogWatchdogMilliseconds, StepPace::quickest);
    int result = dialogExport(&aircraft);
    boxes = answerer.seen();
    shown = driver.dialog() != nullptr;
    EXPECT_FALSE(driver.watchdogFired()) << "the dialog did not close";
    return result;
}

std::vector<std::string> SettingsSession::boxTexts() const {
    std::vector<std::string> texts;
    for (const SeenMessageBox& box : boxes)
        texts.push_back(box.text);
    return texts;
}

::testing::AssertionResult SettingsSession::storeAirportAltitudeHold() const {
    ExchangeRecord options{};
    options.airportAutopilot = 1;
    options.airportAltitudeHold = 1;
    if (library.setData(&options) != 1)
        return ::testing::AssertionFailure() << "the library refused the options";
    return ::testing::AssertionSuccess();
}

ExchangeRecord SettingsSession::exchange() const {
    ExchangeRecord record{};
    library.getData(&record);
    return record;
}

const DialogDriver::Step pressOk = [](HWND dialog) { clickButton(dialog, IDOK); };
const DialogDriver::Step pressCancel = [](HWND dialog) { clickButton(dialog, IDCANCEL); };
