// The position check that the settings dialog's OK applies to the editor's fields: refuses what
// is no position, puts the poles and the date line right in the fields, and gives the position
// in the simulator's raw units.
#pragma once
#include "common/db_record.h"

enum class PositionCheck {
    accepted,
    latitudeError,  // "Latitude Data Error !"
    longitudeError, // "Longitude Data Error !"
};

struct CheckedPosition {
    double latitude = 0;              // raw units; set whenever the latitude passed
    double longitude = 0;             // raw units; set when both passed
    bool latitudeAtPole = false;      // the fields were changed to 89 30 0 (the pole)
    bool longitudeAtDateLine = false; // the fields were changed to 180 0 0 (the date line)
};

// Degrees and minutes are read as whole numbers and seconds as a real number, like the rest of
// the record. The latitude is refused below 0 or above 90 degrees, minutes or seconds outside 0
// to 59; 90 degrees becomes 89 degrees 30 minutes 0 seconds.
// The longitude is refused likewise above 180 degrees, and 180 degrees becomes 180 0 0. The
// hemispheres are southern unless "N" and western unless "E", as the dialog's buttons set them.
[[nodiscard]] PositionCheck checkPosition(RecordBuffer& fields, CheckedPosition& out);
