// What a database record means outside its columns: the label its tree item carries, where a
// folder record lands among the folders read before it, and what the gauge receives when the
// record is its destination. The dialog, the database tool and the stand-in simulator all take
// these from here, so that they cannot drift apart. Pure.
#pragma once
#include <cstddef>
#include <cstdint>

#include "db_record.h"
#include "exchange_record.h"

// The label as it stands for the record: a folder " name" (the leading space keeps the text clear
// of the icon), a tour item "ident - name", an airport its name alone. kind is the item's kind
// byte, which decides the form even where the record's own columns say otherwise.
void storedLabel(uint32_t kind, const RecordBuffer& record, char* label, size_t size);

// A label's two parts as the tree and the gauge's screen join them: "001 - Milwaukee".
void joinLabel(const char* first, const char* name, char* label, size_t size);

// A tour item's number as its ident column and its label show it: three digits from "001", four
// from 1000. A text too small for it is cut, as a column is.
void tourNumberText(int32_t number, char* text, size_t size);

// The label as storedLabel makes it, but with a tour item's number given instead of its ident,
// written as tourNumberText writes it: the form of an item whose number is being set, or read
// back as a number from a file.
void numberedLabel(uint32_t kind, const RecordBuffer& record, int32_t number, char* label,
                   size_t size);

// A single entry pasted among items of the other kind takes their kind: an airport among tour
// kinds becomes a tour item with no number yet (the renumbering gives it one), a tour item among
// airport kinds an airport without its ident and tour fields. A record of the place's own kind is
// left as it is.
void fitToKind(RecordBuffer& record, bool tour);

// A folder record of this level, read after the folder that entries are going into (the
// container, of containerLevel), first climbs this many steps from the container: none when it is
// deeper, so that it goes inside; otherwise one more than the difference, so that it goes beside
// the ancestor of its own level. A level-1 folder therefore always reaches the top; each caller
// stops at its own top.
int32_t folderClimb(int32_t containerLevel, int32_t level);

// Where a record goes as a tree is built from the file, one record at a time in file order: the
// index of the folder record it is appended to (as its last child), noParent for the top level.
// An entry goes into the last folder read; a folder of level 1 to the top, a deeper one into the
// last folder when that is shallower, otherwise up from it as folderClimb says, the climb ending
// at the top, so levels that jump or fall by any amount still place every record. The cursor
// holds the last folder read and its level; parents holds the parents of the records before
// index. The dialog's load and tarvix-db's reading of a database both place records with it.
constexpr int32_t noParent = -1;
struct LoadPlace {
    int32_t container = noParent;
    int32_t level = 1;
};
int32_t placeRecord(LoadPlace& cursor, const int32_t* parents, int32_t index, int32_t level);

// The entry as the gauge flies to it: its texts, its position in raw units, its tour altitude,
// its number and the mode of its kind. The pilot's autopilot options and the airport altitude
// stay as they were: they belong to the pilot, not to the record.
void takeRecordAsDestination(const RecordBuffer& record, int32_t number, ExchangeRecord& exchange);
