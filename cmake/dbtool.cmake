# tarvix-db, the native command-line tool for waypoint databases and files. Built twice from one
# source list: optimised without sanitizers as the tool itself (bin/tarvix-db, also timed by the
# benchmark), and with the sanitizers for the tests, which call it in-process and run it as a
# program (bin/tarvix-db-checked). The tool itself carries no debug information (the tests' build
# has it): writing it out took a third of the tool's compile time, its command lines most of all.
find_package(pugixml REQUIRED)
find_library(TARVIX_CSV_LIBRARY csv REQUIRED)

set(TARVIX_DBTOOL_OPTIMISED -O2 -g0)

set(TARVIX_DBTOOL_SOURCES
    dbtool/command_options.cpp
    dbtool/csv_format.cpp
    dbtool/dat_files.cpp
    dbtool/db_check.cpp
    dbtool/db_show.cpp
    dbtool/file_kinds.cpp
    dbtool/finding_report.cpp
    dbtool/findings.cpp
    dbtool/fly_arguments.cpp
    dbtool/format_table.cpp
    dbtool/gpsbabel_bridge.cpp
    dbtool/gpx_format.cpp
    dbtool/plan_formats.cpp
    dbtool/point_filters.cpp
    dbtool/record_file.cpp
    dbtool/route_flight.cpp
    dbtool/text_codec.cpp
    dbtool/tool_commands.cpp
    dbtool/track_thinning.cpp
    dbtool/waypoints.cpp
    dbtool/xml_text.cpp
)
# The part of the pure core the tool reads the simulator's files with; the stand-in simulator's
# scenario writer, which writes the route flight's scenario; and its command line, whose options
# the split of ./tarvix fly's arguments keeps each value with.
set(TARVIX_DBTOOL_CORE_SOURCES
    common/airport_line.cpp
    common/coordinate_text.cpp
    common/db_record.cpp
    common/file_faults.cpp
    common/position_units.cpp
    common/record_check.cpp
    common/record_rules.cpp
    common/text_fields.cpp
    host/button_names.cpp
    host/command_line.cpp
    host/scenario_writer.cpp
)

add_library(tarvix_dbtool STATIC ${TARVIX_DBTOOL_SOURCES} ${TARVIX_DBTOOL_CORE_SOURCES})
target_compile_options(tarvix_dbtool PRIVATE ${TARVIX_DBTOOL_OPTIMISED})
target_include_directories(tarvix_dbtool PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvix_dbtool PRIVATE tarvix_warnings
    PUBLIC pugixml::pugixml ${TARVIX_CSV_LIBRARY})

add_library(tarvix_dbtool_checked STATIC ${TARVIX_DBTOOL_SOURCES})
target_link_libraries(tarvix_dbtool_checked PRIVATE tarvix_warnings
    PUBLIC tarvix_core_native pugixml::pugixml ${TARVIX_CSV_LIBRARY})

add_executable(tarvix-db dbtool/main.cpp)
target_compile_options(tarvix-db PRIVATE ${TARVIX_DBTOOL_OPTIMISED})
target_link_libraries(tarvix-db PRIVATE tarvix_warnings tarvix_dbtool)
add_executable(tarvix-db-checked dbtool/main.cpp)
target_link_libraries(tarvix-db-checked PRIVATE tarvix_warnings tarvix_dbtool_checked)
set_target_properties(tarvix-db tarvix-db-checked PROPERTIES RUNTIME_OUTPUT_DIRECTORY
    ${CMAKE_BINARY_DIR}/bin)

# The tool's tests (tests/native/test_db_tool*.cpp) call it in-process and run it as a program.
target_link_libraries(native_tests PRIVATE tarvix_dbtool_checked)
# From the test program's folder (testkit/program_folder.h).
target_compile_definitions(native_tests PRIVATE TARVIX_DB_TOOL="bin/tarvix-db-checked")
add_dependencies(native_tests tarvix-db-checked)

# The tool's benchmark, run by "./tarvix bench": 65,535 records checked and converted.
add_executable(native_db_tool bench/native_db_tool.cpp)
target_compile_options(native_db_tool PRIVATE ${TARVIX_DBTOOL_OPTIMISED})
target_link_libraries(native_db_tool PRIVATE tarvix_warnings tarvix_dbtool)
target_compile_definitions(native_db_tool PRIVATE TARVIX_DB_TOOL_PROGRAM="../bin/tarvix-db")
add_dependencies(native_db_tool tarvix-db)
add_dependencies(benchmarks native_db_tool)
set_target_properties(native_db_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# GPX and CSV read as GPSBabel reads them, and the formats only GPSBabel reads brought in through it.
add_test(NAME script.db_tool_gpsbabel
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_db_tool_gpsbabel.sh
        ${CMAKE_BINARY_DIR}/bin/tarvix-db-checked)
add_test(NAME script.db_tool_via_gpsbabel
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_db_tool_via_gpsbabel.sh
        ${CMAKE_BINARY_DIR}/bin/tarvix-db-checked)

# The round trip through the real settings dialog: a GPX route into TarvixTr.dat, imported and
# exported by the dialog's buttons under Wine, converted back.
if(TARVIX_WINDOWS_BUILD)
    set(TARVIX_WINE_RUNNER ${CMAKE_SOURCE_DIR}/tools/wine-run)
    if(TARVIX_WINDOWS_BUILD MATCHES "win64$")
        set(TARVIX_WINE_RUNNER ${CMAKE_SOURCE_DIR}/tools/wine-run64)
    endif()
    add_test(NAME script.db_tool_dialog_round_trip
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_db_tool_round_trip.sh
            ${CMAKE_BINARY_DIR}/bin/tarvix-db-checked ${TARVIX_WINDOWS_BUILD}/bin ${TARVIX_WINE_RUNNER})
    set_tests_properties(script.db_tool_dialog_round_trip PROPERTIES
        RESOURCE_LOCK wine_lane_a TIMEOUT 180)
    # ./tarvix fly with a route file: converted, imported by the real dialog, flown whole.
    add_test(NAME script.fly_route COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_fly_route.sh)
    set_tests_properties(script.fly_route PROPERTIES TIMEOUT 300 RESOURCE_LOCK tarvix_flights)
endif()
