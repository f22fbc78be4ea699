#include "import_export.h"

#include <cstdio>
#include <cstring>

#include "common/airport_line.h"
#include "common/module_contract.h"
#include "common/record_rules.h"
#include "common/text_fields.h"
#include "heap_blocks.h"
#include "db_file.h"
#include "dialog_resources.h"
#include "dialog_state.h"
#include "error_report.h"
#include "item_editor.h"
#include "tree_edit.h"
#include "tree_items.h"

namespace {

// No exchange file the database could take is larger: 65,535 lines, even written by hand with
// long trailing comments, stay well below it. A larger file is refused before it is read.
constexpr int64_t largestExchangeFile = 16 * 1024 * 1024;

// Lines left out of an import that the message names one by one; the rest are counted.
constexpr int32_t namedSkippedLines = 5;

void showCursor(LPCSTR cursor) {
    SetCursor(LoadCursorA(nullptr, cursor));
}

// One of the two exchange files, as its import reads it and its export writes it.
struct ImportKind {
    bool tour;
    const char* fileName;
    const char* asideFileName; // the old file's name while an export replaces it in two steps
    const char* missingText;
    uint32_t itemKind;
    const char* entries; // as the skipped lines' message counts them
};

// clang-format off
const ImportKind tourImport = {true, tourExchangeFileName, tourExchangeAsideFileName,
                               "Not exist 'TarvixTr.dat' !", tourItemKind, "tour items"};
const ImportKind airportImport = {false, airportExchangeFileName, airportExchangeAsideFileName,
                                  "Not exist 'Tarvix.dat' !", airportKind, "airports"};
// clang-format on

// What an import takes from its file: the records to append, 64 bytes each (the new folder's
// first, then the entries in file order), and the lines it left out.
struct ImportRun {
    uint8_t* file = nullptr;
    size_t size = 0;
    uint8_t* records = nullptr;
    int32_t count = 0; // entries, after the folder's record
    int32_t skipped = 0;
    int32_t skippedLine[namedSkippedLines] = {};
    LineProblem skippedWhy[namedSkippedLines] = {};
};

enum class FileRead { read, missing, unreadable, tooLarge };

// The whole file into run.file. A file another program merely reads may be shared.
FileRead readWholeFile(const char* fileName, ImportRun& run) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FileRead::missing
                   : FileRead::unreadable;
    }
    int64_t size = fileByteSize(file);
    FileRead result = FileRead::read;
    if (size < 0)
        result = FileRead::unreadable;
    else if (size == 0)
        result = FileRead::missing;
    else if (size > largestExchangeFile)
        result = FileRead::tooLarge;
    else {
        run.size = static_cast<size_t>(size);
        run.file = static_cast<uint8_t*>(allocate(run.size));
        if (!run.file || !readExactly(file, run.file, static_cast<uint32_t>(run.size)))
            result = FileRead::unreadable;
    }
    CloseHandle(file);
    return result;
}

bool loadImportFile(HWND dialog, const ImportKind& kind, ImportRun& run) {
    char text[200] = "";
    switch (readWholeFile(kind.fileName, run)) {
    case FileRead::read:
        return true;
    case FileRead::missing:
        reportError(dialog, kind.missingText);
        return false;
    case FileRead::unreadable:
        std::snprintf(text, sizeof text,
                      "'%s' cannot be read: another program may hold it. Nothing was imported.",
                      kind.fileName);
        break;
    case FileRead::tooLarge:
        std::snprintf(text, sizeof text,
                      "'%s' is larger than 16 MB, more than the database could take. Nothing "
                      "was imported.",
                      kind.fileName);
        break;
    }
    reportError(dialog, text);
    return false;
}

// Reads one line as the kind's file holds it; false for a blank line. An empty line is blank
// without being decoded: a file of line ends alone is read twice, a line at a time.
bool readImportLine(const ImportKind& kind, const uint8_t* bytes, size_t length,
                    RecordBuffer& record) {
    if (length == 0)
        return false;
    if (kind.tour) {
        decodeRecord(bytes, length, record);
    } else {
        // The airport line has no tour columns: they stay empty, as for a new airport.
        clearRecordBuffer(record);
        readAirportLine(bytes, length, record);
    }
    return !isBlankExchangeRecord(record);
}

// Every line of the file into run.records, or into the list of lines left out. The lines kept
// are counted first and the records sized by them and the folder's ahead of them: sized by
// every line, 16 MB of line ends alone asked for 1 GiB.
bool collectRecords(const ImportKind& kind, ImportRun& run) {
    ExchangeLineCursor cursor = startExchangeLines(run.file, run.size);
    ExchangeLine line;
    RecordBuffer record;
    int32_t kept = 0;
    while (nextExchangeLine(cursor, line)) {
        if (readImportLine(kind, run.file + line.offset, line.length, record) &&
            checkExchangeLine(line, record) == LineProblem::none)
            ++kept;
    }
    run.records = static_cast<uint8_t*>(allocate(static_cast<size_t>(kept + 1) * recordSize));
    if (!run.records)
        return false;
    cursor = startExchangeLines(run.file, run.size);
    while (nextExchangeLine(cursor, line)) {
        if (!readImportLine(kind, run.file + line.offset, line.length, record))
            continue;
        LineProblem problem = checkExchangeLine(line, record);
        if (problem != LineProblem::none) {
            if (run.skipped < namedSkippedLines) {
                run.skippedLine[run.skipped] = line.number;
                run.skippedWhy[run.skipped] = problem;
            }
            ++run.skipped;
            continue;
        }
        record.level[0] = '\0';
        encodeRecord(record, run.records + static_cast<size_t>(run.count + 1) * recordSize);
        ++run.count;
    }
    return true;
}

// The folder's record and its entries in one write behind the last whole record of the
// database, so that it takes the whole import or none of it; first is the folder's number, 0
// when the database refused (not said), -1 when the import would pass the record limit (said).
bool appendImportedRecords(HWND dialog, const ImportRun& run, int32_t& first) {
    const AppendStart start = startAppend(dialog, run.count + 1);
    HANDLE database = start.database;
    first = start.first;
    if (first <= 0)
        return false;
    bool written =
        seekFile(database, static_cast<int64_t>(first - 1) * static_cast<int64_t>(recordSize)) &&
        writeExactly(database, run.records,
                     static_cast<uint32_t>(run.count + 1) * static_cast<uint32_t>(recordSize));
    if (!written)
        cutAppendBack(database, first);
    CloseHandle(database);
    return written;
}

// The items of the appended records, drawn once at the end.
bool showRecords(HWND tree, HTREEITEM folder, const ImportKind& kind, const ImportRun& run,
                 int32_t first) {
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    bool shown = true;
    RecordBuffer record;
    char label[48];
    for (int32_t i = 0; i < run.count && shown; ++i) {
        decodeRecord(run.records + static_cast<size_t>(i + 1) * recordSize, recordSize, record);
        numberedLabel(kind.itemKind, record, readWholeNumber(record.ident), label, sizeof label);
        shown = appendTreeItem(tree, folder, label, itemWord(first + i, kind.itemKind)) != nullptr;
    }
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(folder));
    InvalidateRect(tree, nullptr, TRUE);
    return shown;
}

void reportSkipped(HWND dialog, const ImportKind& kind, const ImportRun& run) {
    char text[600];
    int used = std::snprintf(
        text, sizeof text, "%ld line%s of '%s' %s not imported, as %s no position to fly to:",
        static_cast<long>(run.skipped), run.skipped == 1 ? "" : "s", kind.fileName,
        run.skipped == 1 ? "was" : "were", run.skipped == 1 ? "it gives" : "they give");
    const int32_t named = run.skipped < namedSkippedLines ? run.skipped : namedSkippedLines;
    for (int32_t i = 0; i < named; ++i)
        used += std::snprintf(text + used, sizeof text - used, "%s line %ld (%s)",
                              i == 0 ? "" : ",", static_cast<long>(run.skippedLine[i]),
                              lineProblemText(run.skippedWhy[i]));
    if (run.skipped > named)
        used += std::snprintf(text + used, sizeof text - used, " and %ld more",
                              static_cast<long>(run.skipped - named));
    std::snprintf(text + used, sizeof text - used, ". %ld %s were imported.",
                  static_cast<long>(run.count), kind.entries);
    reportError(dialog, text);
}

// Checked and counted before anything is added: a refused import adds nothing at all.
bool importRecords(HWND dialog, HWND tree, const ImportKind& kind, ImportRun& run) {
    if (!collectRecords(kind, run)) {
        reportError(dialog, "Not enough memory for the import. Nothing was imported.");
        return false;
    }
    RecordBuffer folderRecord;
    char label[32];
    newFolderRecord(kind.tour, folderRecord, label);
    encodeRecord(folderRecord, run.records);
    int32_t first = 0;
    if (!appendImportedRecords(dialog, run, first)) {
        if (first < 0)
            return false;
        reportError(dialog, "The imported entries could not be added to the database (the disk "
                            "may be full, or the file held by another program). Nothing was "
                            "imported.");
        return false;
    }
    HTREEITEM folder = appendTreeItem(
        tree, TVI_ROOT, label, itemWord(first, kind.tour ? tourFolderKind : airportFolderKind));
    if (!folder || (run.count > 0 && !showRecords(tree, folder, kind, run, first + 1)))
        reportError(dialog, "Not all imported entries could be shown in the tree.");
    if (run.skipped > 0)
        reportSkipped(dialog, kind, run);
    return true;
}

bool importFile(HWND dialog, HWND tree, const ImportKind& kind) {
    // An export cut short on a system without a one-step replace may have left the whole file
    // aside, under its own name: it is the file to import.
    recoverReplacedFile(kind.fileName, kind.asideFileName);
    ImportRun run;
    bool done = false;
    if (loadImportFile(dialog, kind, run)) {
        showCursor(IDC_WAIT);
        done = importRecords(dialog, tree, kind, run);
        showCursor(IDC_ARROW);
    }
    release(run.records);
    release(run.file);
    return done;
}

// ---- export ----

bool overwriteAccepted(HWND dialog, bool tour) {
    const char* target = tour ? tourExchangeFileName : airportExchangeFileName;
    HANDLE file = CreateFileA(target, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // A file that cannot even be looked at is asked about too: it may hold lines.
    bool exists = GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES;
    int64_t size = file == INVALID_HANDLE_VALUE ? (exists ? 1 : 0) : fileByteSize(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (size == 0)
        return true;
    return askYesNo(dialog,
                    tour ? "Over write 'TarvixTr.dat' OK ?" : "Over write 'Tarvix.dat' OK ?",
                    "'Tarvix.dat' exist !");
}

struct ExportRun {
    uint8_t* lines = nullptr;
    int32_t count = 0;
    int32_t otherKind = 0; // entries of the folder that the other file takes
};

// The lines of the folder's entries of the export's kind, in tree order.
bool collectLines(HWND tree, HTREEITEM item, bool tour, ExportRun& run) {
    HTREEITEM parent = treeStep(tree, item, TVGN_PARENT);
    HTREEITEM first =
        parent ? treeStep(tree, parent, TVGN_CHILD) : treeStep(tree, nullptr, TVGN_ROOT);
    // Room for every item of the tree: one question instead of a walk of the folder.
    const size_t items = static_cast<size_t>(SendMessageA(tree, TVM_GETCOUNT, 0, 0));
    run.lines = static_cast<uint8_t*>(allocate(items * recordSize));
    HANDLE database = run.lines ? openDatabase(false) : INVALID_HANDLE_VALUE;
    if (database == INVALID_HANDLE_VALUE)
        return false;
    bool read = true;
    RecordBuffer record;
    for (HTREEITEM at = first; at && read; at = treeStep(tree, at, TVGN_NEXT)) {
        const uint32_t word = itemData(tree, at);
        if (isFolderKind(itemKind(word)))
            continue;
        if (isTourKind(itemKind(word)) != tour) {
            ++run.otherKind;
            continue;
        }
        read = readRecordFrom(itemRecordNumber(word), database, record);
        uint8_t* line = run.lines + static_cast<size_t>(run.count) * recordSize;
        record.level[0] = '\0';
        if (tour)
            encodeRecord(record, line);
        else
            writeAirportLine(record, line);
        ++run.count;
    }
    CloseHandle(database);
    return read;
}

// The new file complete and flushed under a scratch name, then in place of the old one.
bool writeExchangeFile(const ImportKind& kind, const ExportRun& run) {
    HANDLE file = CreateFileA(exchangeScratchFileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written =
        writeExactly(file, run.lines,
                     static_cast<uint32_t>(run.count) * static_cast<uint32_t>(recordSize)) &&
        FlushFileBuffers(file);
    CloseHandle(file);
    if (written && replaceFileSafely(exchangeScratchFileName, kind.fileName, kind.asideFileName))
        return true;
    DeleteFileA(exchangeScratchFileName);
    return false;
}

void reportOtherKind(HWND dialog, bool tour, int32_t count) {
    char text[240];
    std::snprintf(
        text, sizeof text,
        "%ld %s of this folder %s not written to '%s', which holds %s only. Export "
        "from one of them to write '%s'.",
        static_cast<long>(count),
        tour ? (count == 1 ? "airport" : "airports") : (count == 1 ? "tour item" : "tour items"),
        count == 1 ? "was" : "were", tour ? tourExchangeFileName : airportExchangeFileName,
        tour ? "tour items" : "airports", tour ? airportExchangeFileName : tourExchangeFileName);
    reportError(dialog, text);
}

} // namespace

bool importTourFile(HWND dialog, HWND tree) {
    return importFile(dialog, tree, tourImport);
}

bool importAirportFile(HWND dialog, HWND tree) {
    return importFile(dialog, tree, airportImport);
}

bool exportFolder(HWND dialog, HWND tree, HTREEITEM item) {
    if (!item || isFolderKind(itemKind(itemData(tree, item)))) {
        reportError(dialog, "Do not select Folder Item !");
        return false;
    }
    const bool tour = isTourKind(itemKind(itemData(tree, item)));
    const ImportKind& kind = tour ? tourImport : airportImport;
    const char* target = kind.fileName;
    if (!overwriteAccepted(dialog, tour))
        return false;
    showCursor(IDC_WAIT);
    ExportRun run;
    const bool done = collectLines(tree, item, tour, run) && writeExchangeFile(kind, run);
    release(run.lines);
    showCursor(IDC_ARROW);
    if (!done) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "'%s' could not be written: another program may hold it, or the disk is "
                      "full. The old file is unchanged.",
                      target);
        reportError(dialog, text);
        return false;
    }
    if (run.otherKind > 0)
        reportOtherKind(dialog, tour, run.otherKind);
    return true;
}

bool exchangeCommand(HWND dialog, int id) {
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    switch (id) {
    case IDC_TOUR_IMPORT:
        importTourFile(dialog, tree);
        return true;
    case IDC_AIRPORT_IMPORT:
        importAirportFile(dialog, tree);
        return true;
    case IDC_EXPORT: {
        if (storeSelectedItem(dialog, tree))
            exportFolder(dialog, tree, selectedItem(tree));
        return true;
    }
    default:
        return false;
    }
}
