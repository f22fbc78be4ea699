# Cross build of the 32-bit Windows modules; programs run under Wine.
set(TARVIX_MINGW_PROCESSOR i686)
set(TARVIX_WINE_RUNNER wine-run)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
