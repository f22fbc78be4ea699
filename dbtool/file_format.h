// The waypoint file formats tarvix-db knows, by name: what the format table's rows and the guess
// at a file's format speak of.
#pragma once

enum class FileFormat {
    unknown,
    database,
    tour,
    airports,
    gpx,
    csv,
    xmlPlan,
    fixPlan,
    gpsRoute,
    textPlan // the older .pln: a [flightplan] section of keys, no XML
};
