// Sample databases for the Windows tests and benchmarks, laid out column by column here rather than
// by the library's own encoder, a tree view in a window of its own, and the built dialog library
// bound through the contract.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "common/module_contract.h"

// One 64-byte line: each text left-aligned in its columns, cut to their width.
struct LineFields {
    const char* ident = "";
    const char* name = "";
    const char* latitude[4] = {"N", "", "", ""};  // hemisphere, degrees, minutes, seconds
    const char* longitude[4] = {"E", "", "", ""}; // hemisphere, degrees, minutes, seconds
    const char* level = "";
    const char* tourFlag = "";
    const char* altitudeHoldFlag = "";
    const char* altitude = "";
};
std::string recordLine(const LineFields& fields);

std::string airportLine(const char* ident, const char* name, const char* level = "");
std::string folderLine(const char* name, int level, bool tour = false);
// A tour item numbered "%03d" with a position that differs from item to item.
std::string tourItemLine(int sequence, const char* name, const char* altitude = "",
                         const char* level = "");

// A database of the given number of records for timing: folders of 99 airports each, the
// current-choice marker on the last airport.
std::string airportFolders(int records);

void writeFileBytes(const char* fileName, const std::string& bytes);
std::string readFileBytes(const char* fileName); // empty when missing
bool fileExists(const char* fileName);

// Another program's hold on a file, for as long as the object lives: exclusive, or (sharedRead)
// reading while letting others read too, as a viewer or a backup tool does.
class FileHold {
  public:
    explicit FileHold(const char* fileName, bool sharedRead = false);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// Any tree view as text, one item a line, indented two spaces a level: "label [record kind]";
// and its first item with the label, depth first (nullptr when none).
std::string treeDump(HWND tree);
HTREEITEM findTreeItem(HWND tree, const std::string& label);

// A COMCTL32 tree view in a top-level window of its own, destroyed with the object.
class TreeWindow {
  public:
    TreeWindow();
    ~TreeWindow();
    TreeWindow(const TreeWindow&) = delete;
    TreeWindow& operator=(const TreeWindow&) = delete;
    HWND tree() const { return tree_; }

    // The tree as text, one item a line, indented two spaces a level: "label [record kind]".
    std::string dump() const;
    HTREEITEM find(const std::string& label) const; // first item with that label, depth first
    unsigned long data(HTREEITEM item) const;
    HTREEITEM append(HTREEITEM parent, const char* label, unsigned long data);
    void select(HTREEITEM item);

  private:
    HWND frame_;
    HWND tree_;
};

// The built dialog library, loaded by path and bound through the contract's names and types;
// freed with the object.
class DialogLibrary {
  public:
    DialogLibrary() = default;
    ~DialogLibrary() { free(); }
    DialogLibrary(const DialogLibrary&) = delete;
    DialogLibrary& operator=(const DialogLibrary&) = delete;

    // Loads the library (the build's own when no path is given) and binds the data and tour
    // exports; fails naming what is missing.
    ::testing::AssertionResult load(const std::string& path = std::string());
    void free();
    HMODULE module() const { return module_; }
    template <typename Fn> Fn bind(const LibraryExport<Fn>& entry) const {
        return exportFunction(entry, GetProcAddress(module_, entry.name));
    }

    RecordExportFn getData = nullptr;
    RecordExportFn setData = nullptr;
    TourItemExportFn getTourItem = nullptr;

  private:
    HMODULE module_ = nullptr;
};

// Hands the library a choice as the settings dialog leaves it: the mode, the record and the tour
// altitude box ticked.
::testing::AssertionResult storeChoice(const DialogLibrary& library, int mode, int record);

// The records of a database file that carry the current-choice marker, in file order.
std::string markedRecords(const std::string& database);
