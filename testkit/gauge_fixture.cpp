#include "testkit/gauge_fixture.h"

#include <string>

#include "common/position_units.h"
#include "common/sim_ids.h"
#include "host/panel_host.h"
#include "testkit/test_support.h"

void GaugeBesideLibrary::loadLibraryAndGauge() {
    library = LoadLibraryA("TarvixDlg.dll");
    ASSERT_NE(library, nullptr);
    setData = exportFunction(setDataExport, GetProcAddress(library, setDataExport.name));
    getData = exportFunction(getDataExport, GetProcAddress(library, getDataExport.name));
    ASSERT_TRUE(setData && getData);
    std::string error;
    ASSERT_TRUE(loadGauge(gaugePath(), error)) << error;
}

void GaugeBesideLibrary::TearDown() {
    unloadGauge();
    if (library)
        FreeLibrary(library);
}

void GaugeBesideLibrary::placeAircraft(double latitude, double longitude) {
    setVariable(varLatitude, latitudeFromDegrees(latitude));
    setVariable(varLongitude, longitudeFromDegrees(longitude));
}
