#include "db_fixtures.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "dialog/tree_items.h"
#include "testkit/test_support.h"

static void put(std::string& line, size_t column, size_t width, const char* text) {
    std::string value(text);
    line.replace(column, width, (value + std::string(width, ' ')).substr(0, width));
}

std::string recordLine(const LineFields& f) {
    std::string line(62, ' ');
    put(line, 0, 5, f.ident);
    put(line, 5, 25, f.name);
    const size_t widths[4] = {1, 3, 2, 2};
    size_t column = 30;
    for (int i = 0; i < 4; ++i) {
        put(line, column, widths[i], f.latitude[i]);
        column += widths[i];
    }
    for (int i = 0; i < 4; ++i) {
        put(line, column, widths[i], f.longitude[i]);
        column += widths[i];
    }
    put(line, 46, 2, f.level);
    put(line, 48, 1, f.tourFlag);
    put(line, 49, 1, f.altitudeHoldFlag);
    put(line, 50, 5, f.altitude);
    return line + "\r\n";
}

static void place(LineFields& f, std::initializer_list<const char*> latitude,
                  std::initializer_list<const char*> longitude) {
    std::copy(latitude.begin(), latitude.end(), f.latitude);
    std::copy(longitude.begin(), longitude.end(), f.longitude);
}

std::string airportLine(const char* ident, const char* name, const char* level) {
    LineFields f;
    f.ident = ident;
    f.name = name;
    place(f, {"N", "47", "27", "30"}, {"E", "8", "33", "5"});
    f.level = level;
    return recordLine(f);
}

std::string folderLine(const char* name, int level, bool tour) {
    LineFields f;
    f.name = name;
    std::string depth = std::to_string(level);
    f.level = depth.c_str();
    f.tourFlag = tour ? "1" : "";
    return recordLine(f);
}

std::string tourItemLine(int sequence, const char* name, const char* altitude, const char* level) {
    char ident[8], minutes[8];
    std::snprintf(ident, sizeof ident, "%03d", sequence);
    std::snprintf(minutes, sizeof minutes, "%d", sequence % 60);
    LineFields f;
    f.ident = ident;
    f.name = name;
    place(f, {"S", "33", minutes, "15"}, {"W", "70", "47", "9"});
    f.level = level;
    f.tourFlag = "1";
    f.altitude = altitude;
    return recordLine(f);
}

std::string airportFolders(int records) {
    std::string database;
    database.reserve(static_cast<size_t>(records) * 64);
    for (int n = 1; n <= records; ++n)
        database += n % 100 == 1 ? folderLine("Folder", 1)
                                 : airportLine("AAAA", "Airport", n == records ? "-1" : "");
    return database;
}

void writeFileBytes(const char* fileName, const std::string& bytes) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFileBytes(const char* fileName) {
    std::ifstream file(fileName, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool fileExists(const char* fileName) {
    return GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES;
}

FileHold::FileHold(const char* fileName, bool sharedRead)
    : handle_(CreateFileA(fileName, sharedRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                          sharedRead ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

FileHold::~FileHold() {
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
}

TreeWindow::TreeWindow() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    frame_ = CreateWindowExA(0, "STATIC", "tree test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 600, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    tree_ = CreateWindowExA(
        0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, 0, 0, 400,
        600, frame_, reinterpret_cast<HMENU>(1033), GetModuleHandleA(nullptr), nullptr);
    if (!frame_ || !tree_)
        throw std::runtime_error("no tree view window");
}

TreeWindow::~TreeWindow() {
    DestroyWindow(frame_);
}

static void visit(HWND tree, HTREEITEM first, int depth, std::string& out,
                  const std::string* wanted, HTREEITEM* found) {
    for (HTREEITEM item = first; item && !(found && *found);
         item = treeStep(tree, item, TVGN_NEXT)) {
        char label[128] = "";
        TVITEMA data = {};
        data.mask = TVIF_TEXT | TVIF_PARAM;
        data.hItem = item;
        data.pszText = label;
        data.cchTextMax = sizeof label;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        if (wanted && *wanted == label) {
            *found = item;
            return;
        }
        unsigned long word = static_cast<unsigned long>(data.lParam);
        out += std::string(2 * depth, ' ') + label + " [" + std::to_string(word & 0xFFFF) + " " +
               std::to_string((word >> 16) & 0xFF) +
               ((word >> 24) ? " high " + std::to_string(word >> 24) : "") + "]\n";
        visit(tree, treeStep(tree, item, TVGN_CHILD), depth + 1, out, wanted, found);
    }
}

std::string treeDump(HWND tree) {
    std::string out;
    visit(tree, treeStep(tree, nullptr, TVGN_ROOT), 0, out, nullptr, nullptr);
    return out;
}

HTREEITEM findTreeItem(HWND tree, const std::string& label) {
    std::string ignored;
    HTREEITEM found = nullptr;
    visit(tree, treeStep(tree, nullptr, TVGN_ROOT), 0, ignored, &label, &found);
    return found;
}

std::string TreeWindow::dump() const {
    return treeDump(tree_);
}

HTREEITEM TreeWindow::find(const std::string& label) const {
    return findTreeItem(tree_, label);
}

unsigned long TreeWindow::data(HTREEITEM item) const {
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return static_cast<unsigned long>(data.lParam);
}

HTREEITEM TreeWindow::append(HTREEITEM parent, const char* label, unsigned long data) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(label);
    insert.item.lParam = static_cast<LPARAM>(data);
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeWindow::select(HTREEITEM item) {
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

::testing::AssertionResult DialogLibrary::load(const std::string& path) {
    std::string file = path.empty() ? dialogLibraryPath() : path;
    module_ = LoadLibraryA(file.c_str());
    if (!module_)
        return ::testing::AssertionFailure() << "cannot load " << file;
    getData = bind(getDataExport);
    setData = bind(setDataExport);
    getTourItem = bind(getTourItemExport);
    if (!getData || !setData || !getTourItem)
        return ::testing::AssertionFailure() << file << " lacks a data or tour export";
    return ::testing::AssertionSuccess();
}

void DialogLibrary::free() {
    if (module_)
        FreeLibrary(module_);
    module_ = nullptr;
    getData = setData = nullptr;
    getTourItem = nullptr;
}

::testing::AssertionResult storeChoice(const DialogLibrary& library, int mode, int record) {
    ExchangeRecord state = {};
    state.mode = mode;
    state.recordNumber = record;
    state.tourAltitudeHold = 1;
    if (library.setData(&state) != 1)
        return ::testing::AssertionFailure()
               << "TarvixSetData refused mode " << mode << " record " << record;
    return ::testing::AssertionSuccess();
}

std::string markedRecords(const std::string& database) {
    std::string marked;
    for (size_t at = 0; at + 64 <= database.size(); at += 64)
        if (database.compare(at + 46, 2, "-1") == 0)
            marked += (marked.empty() ? "" : " ") + std::to_string(at / 64 + 1);
    return marked;
}
