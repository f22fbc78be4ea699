// The 64-byte database record: its columns, the record as texts that every read fills and every
// write takes from, and the 32-bit data word that ties a tree item to its record. Pure: the
// fuzzer and the native tests call it on bytes.
#pragma once
#include <cstddef>
#include <cstdint>

// One line of "TarvixDb.dat" (and of the backup, scratch and tour exchange files), as stored.
struct RecordLine {
    char ident[5];            //  0, 5  identifier; a tour item's sequence number "001", "002"...
    char name[25];            //  5, 25 name; only 24 characters are used, the last is blank
    char latHemisphere[1];    // 30, 1  "N" or "S"
    char latDegrees[3];       // 31, 3  whole degrees
    char latMinutes[2];       // 34, 2
    char latSeconds[2];       // 36, 2
    char lonHemisphere[1];    // 38, 1  "E" or "W"
    char lonDegrees[3];       // 39, 3
    char lonMinutes[2];       // 42, 2
    char lonSeconds[2];       // 44, 2
    char level[2];            // 46, 2  folder depth 1-99; entry blank, "-1" the current choice
    char tourFlag[1];         // 48, 1  "1" for tour kinds
    char altitudeHoldFlag[1]; // 49, 1  tour item: "1" to set the autopilot altitude here
    char altitude[5];         // 50, 5  tour item: feet
    char padding[7];          // 55, 7  spaces
    char lineEnd[2];          // 62, 2  carriage return, line feed
};

constexpr size_t recordSize = 64;
static_assert(sizeof(RecordLine) == recordSize, "a record is 64 bytes");
static_assert(offsetof(RecordLine, ident) == 0, "ident");
static_assert(offsetof(RecordLine, name) == 5, "name");
static_assert(offsetof(RecordLine, latHemisphere) == 30, "latHemisphere");
static_assert(offsetof(RecordLine, latDegrees) == 31, "latDegrees");
static_assert(offsetof(RecordLine, latMinutes) == 34, "latMinutes");
static_assert(offsetof(RecordLine, latSeconds) == 36, "latSeconds");
static_assert(offsetof(RecordLine, lonHemisphere) == 38, "lonHemisphere");
static_assert(offsetof(RecordLine, lonDegrees) == 39, "lonDegrees");
static_assert(offsetof(RecordLine, lonMinutes) == 42, "lonMinutes");
static_assert(offsetof(RecordLine, lonSeconds) == 44, "lonSeconds");
static_assert(offsetof(RecordLine, level) == 46, "level");
static_assert(offsetof(RecordLine, tourFlag) == 48, "tourFlag");
static_assert(offsetof(RecordLine, altitudeHoldFlag) == 49, "altitudeHoldFlag");
static_assert(offsetof(RecordLine, altitude) == 50, "altitude");
static_assert(offsetof(RecordLine, padding) == 55, "padding");
static_assert(offsetof(RecordLine, lineEnd) == 62, "lineEnd");

// A record as NUL-terminated texts, each with room for its width and the NUL.
struct RecordBuffer {
    char ident[6];
    char name[26];
    char latHemisphere[2];
    char latDegrees[4];
    char latMinutes[3];
    char latSeconds[3];
    char lonHemisphere[2];
    char lonDegrees[4];
    char lonMinutes[3];
    char lonSeconds[3];
    char level[3];
    char tourFlag[2];
    char altitudeHoldFlag[2];
    char altitude[6];
};

// Removes trailing spaces (character 32 only) in place.
void trimRight(char* text);

// Every field empty, except the hemispheres "N" and "E".
void clearRecordBuffer(RecordBuffer& record);

// Fills the record from the first length bytes of a line (at most 64 are looked at). Columns
// that the bytes do not reach read as blank. A NUL byte in ident or name reads as a space, so that
// the text after it survives; in every other field the text ends at the NUL. Trailing spaces are
// removed; name keeps 24 characters. Every byte of the record is defined, also behind a NUL.
void decodeRecord(const uint8_t* bytes, size_t length, RecordBuffer& record);

// Cuts and trims the record's fields in place (the two flags and altitude are taken as they are,
// up to their widths) and lays them out as one 64-byte line ending in CR LF.
void encodeRecord(RecordBuffer& record, uint8_t* line);

// The record's kinds, read leniently: a level of 1 or more is a folder, anything else (blank,
// letters, 0 or negative) an entry; a tourFlag above 0 is of tour kind.
int32_t recordLevel(const RecordBuffer& record);
bool isFolderRecord(const RecordBuffer& record);
bool isTourRecord(const RecordBuffer& record);
bool isTourItemRecord(const RecordBuffer& record); // tour kind and an entry

// Tree item data word: record number in bits 0-15, kind byte in 16-23 (0 airport, 1-99 airport
// folder of that level, 100 tour item, 101-199 tour folder). Bits 24-31 stay clear: the save
// and the copy walk a snapshot of the tree (tree_plan.h) and mark no item as written.
constexpr int32_t maxTreeRecordNumber = 0xFFFF;

// The deepest folder: the level column holds two digits.
constexpr int32_t deepestFolderLevel = 99;

// The current choice, the pilot's chosen entry, is marked in the file by the level "-1"; any
// negative level reads as the mark, as the dialog has always read it.
constexpr int32_t currentChoiceLevel = -1;
bool isCurrentChoice(const RecordBuffer& record);
// Sets the mark on the entry, or takes it off (blank, as an entry's level is).
void markCurrentChoice(RecordBuffer& record, bool chosen);

// The kinds by name. A folder's kind is its base plus its level less one, so these two name the
// folders that the dialog makes at the top; a deeper one is found by the tests below.
enum ItemKind : uint32_t {
    airportKind = 0,
    airportFolderKind = 1,
    tourItemKind = 100,
    tourFolderKind = 101,
};
constexpr uint32_t itemRecordMask = 0xFFFF;
constexpr int itemKindShift = 16;

uint32_t recordKind(const RecordBuffer& record);
uint32_t itemWord(int32_t recordNumber, uint32_t kind);
inline int32_t itemRecordNumber(uint32_t word) {
    return static_cast<int32_t>(word & itemRecordMask);
}
inline uint32_t itemKind(uint32_t word) {
    return (word >> itemKindShift) & 0xFF;
}
inline bool isFolderKind(uint32_t kind) {
    return kind % tourItemKind != 0;
}
inline bool isTourKind(uint32_t kind) {
    return kind / tourItemKind != 0;
}
// An item of a tour that is no folder: what a tour's numbers count.
inline bool isTourItemKind(uint32_t kind) {
    return isTourKind(kind) && !isFolderKind(kind);
}
