// What the gauge, the dialog library, the stand-in simulator and the tests agree on by name: the
// two module files, the library's exports with their function types, the named mappings and the
// data files in the simulator's current folder. Pure: the native tests read it too.
#pragma once
#include <cstdint>

#include "exchange_record.h"

// The simulator calls and binds everything with the callee popping the arguments.
#if defined(_WIN32)
#define TARVIX_STDCALL __stdcall
#else
#define TARVIX_STDCALL
#endif

constexpr char gaugeFileName[] = "Tarvix42.gau";
constexpr char dialogLibraryFileName[] = "TarvixDlg.dll";

// An export of the dialog library: its undecorated name and the type it is called through.
template <typename Fn> struct LibraryExport {
    using Function = Fn;
    const char* name;
};

using RecordExportFn = int(TARVIX_STDCALL*)(ExchangeRecord*);
using TourItemExportFn = int(TARVIX_STDCALL*)(int);
using PlainExportFn = int(TARVIX_STDCALL*)();
using EmptyExportFn = void(TARVIX_STDCALL*)();

// 1 filled, 0 nothing stored yet (the record untouched).
constexpr LibraryExport<RecordExportFn> getDataExport{"TarvixGetData"};
// 1 stored, 0 the mapping could not be made (the library's own state updated all the same).
constexpr LibraryExport<RecordExportFn> setDataExport{"TarvixSetData"};
// Non-zero steps forward, 0 back; the new record number, or -1.
constexpr LibraryExport<TourItemExportFn> getTourItemExport{"TarvixGetTourItem"};
// Reads only the aircraft position from the record; always 1.
constexpr LibraryExport<RecordExportFn> settingDialogExport{"TarvixSettingDialog"};
// The About box's end code.
constexpr LibraryExport<PlainExportFn> aboutDialogExport{"TarvixAboutDialog"};
// No effect; never called.
constexpr LibraryExport<EmptyExportFn> tarvixExport{"Tarvix"};

// Turns what a name lookup found (GetProcAddress's result, or null) into the export's type.
template <typename Fn, typename Found> Fn exportFunction(const LibraryExport<Fn>&, Found found) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

// Named blocks of shared memory, paging-file backed, each 1024 bytes.
constexpr char exchangeMappingName[] = "TarvixMapFile";       // the library's ExchangeState image
constexpr char keptStateMappingName[] = "TarvixGaugeMapFile"; // the gauge's kept settings
constexpr uint32_t namedMappingSize = 1024;

// Data files, in the simulator's current folder.
constexpr char databaseFileName[] = "TarvixDb.dat";
// The new database as OK writes it, before it takes the old one's place. Apart from the tree's
// clipboard, so that an OK that fails (and leaves the dialog open) keeps what was cut or copied.
constexpr char scratchFileName[] = "TarvixDb.new";
constexpr char clipboardFileName[] = "TarvixDb.$$$"; // the tree's Cut, Copy, Paste and drags
constexpr char backupFileName[] = "TarvixDb.bak";    // taken as the settings dialog opens
constexpr char asideFileName[] = "TarvixDb.old";     // the old database during a two-step replace
// Left while the settings dialog is open, so that an opening after a crash knows the database is
// an unaccepted working copy; renamed to the second name once OK's new database is whole, just
// before it takes the old one's place.
constexpr char sessionMarkFileName[] = "TarvixDb.ses";
constexpr char savingMarkFileName[] = "TarvixDb.sav";
constexpr char airportExchangeFileName[] = "Tarvix.dat";
constexpr char tourExchangeFileName[] = "TarvixTr.dat";
constexpr char exchangeScratchFileName[] = "TarvixEx.$$$"; // an export's file until it is whole
// Each exchange file's old one during a two-step replace: one name each, so that one export's
// recovery never takes the other's file for its own.
constexpr char airportExchangeAsideFileName[] = "Tarvix.old";
constexpr char tourExchangeAsideFileName[] = "TarvixTr.old";
