// The checks of "tarvix-db check": every fault a hand edit or a foreign tool leaves in a
// database, tour or airport file, each with its record or line number and a plain reason.
#pragma once
#include <cstddef>
#include <cstdint>

#include "waypoints.h"

// The database ("TarvixDb.dat") or, with tourFile, the tour exchange file ("TarvixTr.dat").
// records receives the number of whole records.
Findings checkRecordFile(const uint8_t* data, size_t size, bool tourFile, int32_t& records);

// The airport exchange file ("Tarvix.dat"); lines receives the number of lines read.
Findings checkAirportFile(const uint8_t* data, size_t size, int32_t& lines);
