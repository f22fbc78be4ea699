// Import and export of the two exchange files: airports in "Tarvix.dat" (airport lines,
// common/airport_line.h), tours in "TarvixTr.dat" (database records). An import makes a new
// top-level folder of the file's lines, appended to the database at once like every other new
// item; an export writes the entries of the selected entry's folder.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// "Tr Imp" and "Ap Imp". The file is read whole, cut into lines (a file written by the export at
// its fixed offsets, any other line by line) and checked before anything is added: blank lines
// are skipped, lines that make no position are left out and named in one message afterwards,
// and an import that would pass the records the tree can address is refused. The new folder
// ("New Tour Folder" or "New Airport Folder") holds the remaining lines in file order: tour items
// labelled "%03d - name" and stored as the file has them (level removed), airports labelled with
// their names. False when the file is missing, empty or unreadable, or the import refused.
bool importTourFile(HWND dialog, HWND tree);
bool importAirportFile(HWND dialog, HWND tree);

// "Exp": the entries of item's folder (the top level for a top-level entry) in tree order from
// line 1, sub-folders left out: tour items to "TarvixTr.dat" when item is a tour item, airports
// to "Tarvix.dat" otherwise. Entries of the other kind in the same folder are not written (the
// pilot is told how many). An existing, non-empty file is replaced only after the pilot says Yes,
// and only once the new one is complete, so a failed export leaves the old file as it was and
// says so. False when refused (no entry selected), declined or failed.
bool exportFolder(HWND dialog, HWND tree, HTREEITEM item);

// The three buttons; false for any other command. Exp first stores what the editor shows for
// the selected entry, so that the file holds what the pilot sees.
bool exchangeCommand(HWND dialog, int id);
