# Cross build of the Windows modules for x86-64: the test build on machines that refuse 32-bit
# programs (their tests run under 64-bit Wine); what ships is always the i686 build.
set(TARVIX_MINGW_PROCESSOR x86_64)
set(TARVIX_WINE_RUNNER wine-run64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
