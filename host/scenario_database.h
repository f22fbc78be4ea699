// The check a scenario's database gets before anything is flown or written: whole 64-byte
// records ending in CR LF, fields that read as what their columns hold, folders that nest one
// level at a time, one current-choice marker (the faults of common/file_faults.h that a
// scenario refuses), and a destination that is an airport or a tour item. The dialog library reads
// damaged files leniently; a flight that is to be measured must not start from one. Pure: it works
// on the file's bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// On failure, problem names the first bad record and what is wrong with it ("record 3: columns
// 63-64 are not CR LF ..."), without the file's name.
bool checkDatabaseBytes(const uint8_t* bytes, size_t size, std::string& problem);

// destination: 1-based record. Assumes the bytes passed checkDatabaseBytes.
bool checkDestinationRecord(const uint8_t* bytes, size_t size, int32_t destination,
                            std::string& problem);
