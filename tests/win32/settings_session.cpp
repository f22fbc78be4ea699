#include "settings_session.h"

#include "dialog/dialog_resources.h"
#include "test_support.h"

HWND treeOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_TREE);
}

std::string labelOf(HWND tree, HTREEITEM item) {
    char text[64] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

HTREEITEM step(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

static void appendText(HWND tree, HTREEITEM first, int depth, std::string& out) {
    for (HTREEITEM item = first; item; item = step(tree, item, TVGN_NEXT)) {
        out += std::string(2 * depth, ' ') + labelOf(tree, item) + "\n";
        appendText(tree, step(tree, item, TVGN_CHILD), depth + 1, out);
    }
}

std::string treeText(HWND tree) {
    std::string out;
    appendText(tree, step(tree, nullptr, TVGN_ROOT), 0, out);
    return out;
}

namespace {

HTREEITEM findIn(HWND tree, HTREEITEM from, const std::string& label) {
    for (HTREEITEM item = from; item; item = step(tree, item, TVGN_NEXT)) {
        if (labelOf(tree, item) == label)
            return item;
        if (HTREEITEM inside = findIn(tree, step(tree, item, TVGN_CHILD), label))
            return inside;
    }
    return nullptr;
}

} // namespace

HTREEITEM findLabel(HWND tree, const std::string& label, HTREEITEM from) {
    return findIn(tree, from ? from : step(tree, nullptr, TVGN_ROOT), label);
}

void selectLabel(HWND dialog, const std::string& label) {
    HWND tree = treeOf(dialog);
    HTREEITEM item = findLabel(tree, label);
    ASSERT_NE(item, nullptr) << label << " in\n" << treeText(tree);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

std::string selectedLabel(HWND dialog) {
    HWND tree = treeOf(dialog);
    return labelOf(tree, step(tree, nullptr, TVGN_CARET));
}

void type(HWND dialog, int id, const char* text) {
    SetFocus(GetDlgItem(dialog, id));
    SetDlgItemTextA(dialog, id, text);
}

void SettingsSession::SetUp() {
    enterFreshFolder();
    ASSERT_TRUE(library.load());
    dialogExport = library.bind(settingDialogExport);
    ASSERT_NE(dialogExport, nullptr);
}

int SettingsSession::run(std::vector<DialogDriver::Step> steps, std::vector<int> answers) {
    MessageBoxAnswerer answerer(std::move(answers));
    DialogDriver driver(std::move(steps));
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

ExchangeRecord SettingsSession::exchange() const {
    ExchangeRecord record{};
    library.getData(&record);
    return record;
}

const DialogDriver::Step pressOk = [](HWND dialog) { clickButton(dialog, IDOK); };
const DialogDriver::Step pressCancel = [](HWND dialog) { clickButton(dialog, IDCANCEL); };
