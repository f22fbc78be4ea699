# Cross build: the gauge, the dialog library, the host and their tests, all 32-bit PE files
# linked statically so that no runtime library has to ship beside them.
enable_language(RC)

set(TARVIX_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN})
# What the two modules and the code they compile in are built with: the simulator's process
# expects neither exceptions nor type information from a gauge or its library.
add_library(tarvix_module_code INTERFACE)
target_compile_options(tarvix_module_code INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>)
target_link_libraries(tarvix_module_code INTERFACE tarvix_warnings)
add_link_options(-static)

# Header-only libraries from Debian, exposed one folder each: the system include folder itself
# must never be on the cross compiler's path.
set(TARVIX_THIRDPARTY ${CMAKE_BINARY_DIR}/thirdparty)
file(MAKE_DIRECTORY ${TARVIX_THIRDPARTY})
foreach(folder stb nlohmann CLI)
    if(NOT EXISTS ${TARVIX_THIRDPARTY}/${folder})
        file(CREATE_LINK /usr/include/${folder} ${TARVIX_THIRDPARTY}/${folder} SYMBOLIC)
    endif()
endforeach()

# The two modules load into the simulator on Windows 95, 98, ME and NT 4 as well: their headers
# ask for no later system than 4.0, whatever the linker's default (tests/data/module_imports.txt
# lists what they may import). No link time in their headers: the same commit builds the same
# bytes, so a pilot's copy can be checked against the release.
set(TARVIX_MODULE_LINK_FLAGS -Wl,--major-os-version,4,--minor-os-version,0
    -Wl,--major-subsystem-version,4,--minor-subsystem-version,0 -Wl,--no-insert-timestamp)

add_library(tarvix_core STATIC ${TARVIX_CORE_SOURCES})
target_link_libraries(tarvix_core PRIVATE tarvix_module_code)
target_include_directories(tarvix_core PUBLIC ${CMAKE_SOURCE_DIR})

# Win32 helpers both modules compile in.
set(TARVIX_SHARED_WIN32_SOURCES common/named_block.cpp)

# The modules' pictures are drawn by generators of plain C++ that are built and run on the build
# machine itself, so that the build needs no Windows program to run.
set(TARVIX_GENERATED ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${TARVIX_GENERATED} ${CMAKE_BINARY_DIR}/tools)
find_program(TARVIX_BUILD_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
# tarvix_picture_generator(NAME SOURCES <files> DEPENDS <headers> OUTPUTS <files in generated/>)
function(tarvix_picture_generator name)
    cmake_parse_arguments(GEN "" "" "SOURCES;DEPENDS;OUTPUTS" ${ARGN})
    set(program ${CMAKE_BINARY_DIR}/tools/${name})
    list(TRANSFORM GEN_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
    list(TRANSFORM GEN_DEPENDS PREPEND ${CMAKE_SOURCE_DIR}/)
    list(TRANSFORM GEN_OUTPUTS PREPEND ${TARVIX_GENERATED}/)
    add_custom_command(
        OUTPUT ${program}
        COMMAND ${TARVIX_BUILD_CXX} -std=c++17 -O1 ${TARVIX_WARNINGS} -I${CMAKE_SOURCE_DIR}
                ${GEN_SOURCES} -o ${program}
        DEPENDS ${GEN_SOURCES} ${GEN_DEPENDS}
        COMMENT "Building ${name} for the build machine")
    add_custom_command(
        OUTPUT ${GEN_OUTPUTS}
        COMMAND ${program} .
        WORKING_DIRECTORY ${TARVIX_GENERATED}
        DEPENDS ${program}
        COMMENT "Drawing with ${name}")
    set(${name}_OUTPUTS ${GEN_OUTPUTS} PARENT_SCOPE)
endfunction()

# Bitmaps 101 (bezel) and 102 (screen area) of the gauge.
tarvix_picture_generator(make_bitmaps
    SOURCES tools/make_bitmaps.cpp common/screen_colours.cpp
    DEPENDS common/screen_colours.h gauge/screen_area.h
    OUTPUTS bezel.bmp screen.bmp)
set_source_files_properties(gauge/gauge.rc PROPERTIES OBJECT_DEPENDS "${make_bitmaps_OUTPUTS}")

# The dialog library's toolbar bitmap and tree icons.
tarvix_picture_generator(make_dialog_images
    SOURCES tools/make_dialog_images.cpp
    OUTPUTS toolbar.bmp airport_folder_closed.ico airport.ico airport_folder_open.ico
            airport_selected.ico tour_item_selected.ico tour_item.ico tour_folder_open.ico
            tour_folder_closed.ico)
set_source_files_properties(dialog/dialog.rc PROPERTIES
    OBJECT_DEPENDS "${make_dialog_images_OUTPUTS};${CMAKE_SOURCE_DIR}/dialog/dialog_resources.h")

add_library(Tarvix42 SHARED
    gauge/autopilot.cpp
    gauge/canvas.cpp
    gauge/dialog_link.cpp
    gauge/lifecycle.cpp
    gauge/moving_map.cpp
    gauge/navigation.cpp
    gauge/panel_buttons.cpp
    gauge/panel_calls.cpp
    gauge/persistence.cpp
    gauge/records.cpp
    gauge/route.cpp
    gauge/screen_draw.cpp
    gauge/screen_paint.cpp
    ${TARVIX_SHARED_WIN32_SOURCES}
    gauge/gauge.rc
    gauge/Tarvix42.def)
set_target_properties(Tarvix42 PROPERTIES PREFIX "" SUFFIX ".gau")
target_include_directories(Tarvix42 PRIVATE ${TARVIX_GENERATED})
target_link_libraries(Tarvix42 PRIVATE tarvix_module_code)
target_link_options(Tarvix42 PRIVATE ${TARVIX_MODULE_LINK_FLAGS})
target_link_libraries(Tarvix42 PRIVATE tarvix_core gdi32 user32)

# The database layer of the dialog library, also linked by its Windows tests and benchmarks.
add_library(tarvix_database STATIC
    dialog/db_file.cpp
    dialog/db_session.cpp
    dialog/error_report.cpp
    dialog/tree_images.cpp
    dialog/tree_items.cpp
    dialog/tree_map.cpp
    dialog/tree_snapshot.cpp)
target_link_libraries(tarvix_database PRIVATE tarvix_module_code)
target_link_libraries(tarvix_database PUBLIC tarvix_core user32 comctl32)

add_library(TarvixDlg SHARED
    dialog/about_dialog.cpp
    dialog/editor_dispatch.cpp
    dialog/import_export.cpp
    dialog/exchange_mapping.cpp
    dialog/exports.cpp
    dialog/item_editor.cpp
    dialog/settings_dialog.cpp
    dialog/settings_toolbar.cpp
    dialog/tour_lookup.cpp
    dialog/tour_numbers.cpp
    dialog/tree_clipboard.cpp
    dialog/tree_commands.cpp
    dialog/tree_drag.cpp
    dialog/tree_edit.cpp
    ${TARVIX_SHARED_WIN32_SOURCES}
    dialog/dialog.rc
    dialog/TarvixDlg.def)
set_target_properties(TarvixDlg PROPERTIES PREFIX "")
target_include_directories(TarvixDlg PRIVATE ${TARVIX_GENERATED})
target_link_libraries(TarvixDlg PRIVATE tarvix_module_code)
target_link_options(TarvixDlg PRIVATE -Wl,--kill-at ${TARVIX_MODULE_LINK_FLAGS})
target_link_libraries(TarvixDlg PRIVATE tarvix_database tarvix_core)

# The simulator stand-in: a library shared by tarvix-host.exe and the integration tests.
# The stand-in simulator's own code is compiled at -O1, as the test programs' is: it ships
# nowhere, the shared records it links (tarvix_core) stay as the modules have them, and a flight
# spends its time in Wine and in the gauge, not in this code. -O3 cost a first ./tarvix fly a
# quarter of its build.
add_library(tarvix_host_code INTERFACE)
target_compile_options(tarvix_host_code INTERFACE -O1)
add_library(tarvix_host_lib STATIC
    ${TARVIX_HOST_CORE_SOURCES}
    host/dialog_driver.cpp
    host/dialog_steps.cpp
    host/flight_files.cpp
    host/flight_plan.cpp
    host/flight_progress.cpp
    host/flight_run.cpp
    host/gauge_loader.cpp
    host/interruption.cpp
    host/key_event_log.cpp
    host/message_boxes.cpp
    host/panel_picture.cpp
    host/panel_services.cpp
    host/panel_window.cpp
    host/run_paths.cpp
    host/simulation.cpp
    host/track_plot.cpp
    host/window_capture.cpp)
target_include_directories(tarvix_host_lib PUBLIC ${CMAKE_SOURCE_DIR} ${TARVIX_THIRDPARTY})
target_link_libraries(tarvix_host_lib PRIVATE tarvix_warnings tarvix_host_code)
target_link_libraries(tarvix_host_lib PUBLIC tarvix_core gdi32 user32)
# The sample database and scenarios beside the programs: the host's default flight and the
# end-to-end tests' inputs, copied again whenever one of them changes.
file(GLOB TARVIX_SCENARIO_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/scenarios/*)
foreach(file ${TARVIX_SCENARIO_FILES})
    configure_file(${file} ${TARVIX_BIN}/${file} COPYONLY)
endforeach()

# Pictures of the library's dialogs for the README (./tarvix screenshot).
add_executable(dialog_screenshot tools/dialog_screenshot.cpp)
target_link_libraries(dialog_screenshot PRIVATE tarvix_warnings)
target_link_libraries(dialog_screenshot PRIVATE tarvix_host_lib)
add_dependencies(dialog_screenshot TarvixDlg)

add_executable(tarvix-host host/main.cpp)
target_link_libraries(tarvix-host PRIVATE tarvix_warnings tarvix_host_code)
target_link_libraries(tarvix-host PRIVATE tarvix_host_lib shell32)
add_dependencies(tarvix-host Tarvix42 TarvixDlg)

# Windows tests: each in bin/tests, so that the dialog library is found only where a test puts
# it (its working folder), as the simulator finds it in its own.
# The test programs' own code (the cases, the test kit, the edit sequences, the crash child, and
# GoogleTest itself) is compiled at -O1: what they test, the two modules and the shared records,
# is linked in as built for shipping (-O3), and at -O3 these large files of cases took half the
# build's compile time while Wine, not the code, sets how long they run. -O1 keeps the warnings
# that need the optimiser's data flow.
add_library(tarvix_test_code INTERFACE)
target_compile_options(tarvix_test_code INTERFACE -O1)
target_compile_options(gtest PRIVATE -O1)
target_compile_options(gtest_main PRIVATE -O1)
# The test kit: what the tests and the benchmarks both use (databases and the dialog library in
# a folder of their own, the settings dialog driven by its messages, files read and compared).
add_library(tarvix_test_kit STATIC
    testkit/db_fixtures.cpp
    testkit/gauge_fixture.cpp
    testkit/import_slots.cpp
    testkit/kept_block.cpp
    testkit/settings_session.cpp
    testkit/test_support.cpp)
target_include_directories(tarvix_test_kit PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvix_test_kit PRIVATE tarvix_warnings tarvix_test_code)
target_link_libraries(tarvix_test_kit PUBLIC tarvix_host_lib tarvix_database comctl32 GTest::gtest)
# GoogleTest's and Windows' headers took a third of each test file's compile time: they are read
# once, into a precompiled header that the test kit, the tests' support and every test program
# share (the compiler cache keeps it with ./tarvix's sloppiness settings).
target_precompile_headers(tarvix_test_kit PRIVATE <gtest/gtest.h> <windows.h> <string> <vector>)
# What only the tests share: the random edit sequences and the crashes in the middle of them,
# the failing file calls, the reference navigation figures.
add_library(tarvix_test_support STATIC
    tests/win32/crash_recovery.cpp
    tests/win32/edit_sequence.cpp
    tests/win32/edit_sequence_commands.cpp
    tests/win32/edit_sequence_ops.cpp
    tests/win32/edit_sequence_tree.cpp
    tests/win32/file_faults.cpp
    tests/win32/nav_reference.cpp)
target_link_libraries(tarvix_test_support PRIVATE tarvix_warnings)
target_link_libraries(tarvix_test_support PUBLIC tarvix_test_kit tarvix_test_code)
target_precompile_headers(tarvix_test_support REUSE_FROM tarvix_test_kit)

file(GLOB TARVIX_WINDOWS_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/test_*.cpp)
# A Wine process start costs about a tenth of a second, as much as most cases take. These
# programs' cases leave nothing behind in the process (each loads and frees what it uses, in a
# folder of its own), so each program runs as one test, in one process. The others need a process
# per case: the gauge's module-wide state, the dialogs' hooks and a modal loop left by a failing
# case would carry over into the next one.
set(TARVIX_ONE_PROCESS_TESTS test_about_dialog test_db_file test_dialog_resources
    test_error_report test_import_export test_gauge_records test_host_command_line
    test_host_loader test_scenario_flight test_screen_resources test_simulated_flight
    test_tour_lookup test_tree_map)
# The Windows cases run in four lanes side by side, each lane a Wine prefix with a server of its
# own: named mappings are shared by every process of one server, so a lane runs one case at a
# time. The cases mostly wait on Wine rather than on a core (two lanes left a 2-core machine 60%
# idle), so ./tarvix test runs twice as many tests as there are cores. Lanes b to d take these
# programs, each about a quarter of the cases' time; lane a the rest, with the scripts that run
# Windows programs. The file faults' clipboard and drag cases take lane b, their exports lane a
# (about a third of lane c's time, which ended the run alone while lane a stood idle), the others
# lane c, with the crash tests, whose children run in the lane's server beside them.
set(TARVIX_LANE_b test_edit_sequences)
set(TARVIX_LANE_c test_crash_recovery)
set(TARVIX_LANE_d test_settings_dialog test_tree_editing test_dialog_exchange test_import_export
    test_scenario_flight)
set(TARVIX_FILE_FAULTS_LANE_b "*/Drag*:*/Paste*:*/Copy*:*/Cut*")
set(TARVIX_FILE_FAULTS_LANE_a "*/AirportExport*:*/TourExport*")
function(tarvix_windows_cases name lane)
    if(lane STREQUAL display)
        set(lock RESOURCE_LOCK wine_display)
    elseif(lane STREQUAL a)
        set(lock RESOURCE_LOCK wine_lane_a)
    else()
        set(lock RESOURCE_LOCK wine_lane_${lane} ENVIRONMENT TARVIX_WINE_LANE=${lane})
    endif()
    # Cases are listed when CTest starts, not at build time: a slow Wine start must never fail a
    # build, and a machine that runs only the x86-64 test build still builds this one.
    if(name IN_LIST TARVIX_ONE_PROCESS_TESTS)
        add_test(NAME win32.${name} COMMAND ${name})
        set_tests_properties(win32.${name} PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
            ${lock} TIMEOUT 300)
    else()
        gtest_discover_tests(${name} TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
            DISCOVERY_TIMEOUT 300 ${ARGN} PROPERTIES ${lock} TIMEOUT 120)
    endif()
endfunction()
foreach(source ${TARVIX_WINDOWS_TESTS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/tests)
    target_link_libraries(${name} PRIVATE tarvix_warnings)
    target_link_libraries(${name} PRIVATE tarvix_test_support GTest::gtest_main)
    target_precompile_headers(${name} REUSE_FROM tarvix_test_kit)
    add_dependencies(${name} Tarvix42 TarvixDlg tarvix-host)
    set(lane a)
    foreach(other b c d)
        if(name IN_LIST TARVIX_LANE_${other})
            set(lane ${other})
        endif()
    endforeach()
    if(name STREQUAL test_file_faults)
        tarvix_windows_cases(${name} a TEST_FILTER "${TARVIX_FILE_FAULTS_LANE_a}")
        tarvix_windows_cases(${name} b TEST_FILTER "${TARVIX_FILE_FAULTS_LANE_b}")
        tarvix_windows_cases(${name} c
            TEST_FILTER "-${TARVIX_FILE_FAULTS_LANE_b}:${TARVIX_FILE_FAULTS_LANE_a}")
    elseif(name STREQUAL test_panel_window)
        # The live panel window's tests draw on the test run's X server, in a prefix of their own.
        set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
            ${CMAKE_SOURCE_DIR}/tools/wine-on-display ${TARVIX_WINE_RUNNER})
        tarvix_windows_cases(${name} display)
    else()
        tarvix_windows_cases(${name} ${lane})
    endif()
endforeach()
# The longest program of its lane (it flies every scenario) starts first: listed last, it ended
# the run alone.
set_tests_properties(win32.test_scenario_flight PROPERTIES COST 25)
# The settings dialog's tour import and export worked from a script: tarvix-db's round trip.
add_executable(dialog_import_export tests/win32/dialog_import_export.cpp)
set_target_properties(dialog_import_export PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/tests)
target_link_libraries(dialog_import_export PRIVATE tarvix_warnings)
target_link_libraries(dialog_import_export PRIVATE tarvix_test_support)
add_dependencies(dialog_import_export TarvixDlg)
# The process the crash tests run an edit sequence in and end from outside.
add_executable(crash_child tests/win32/crash_child.cpp)
set_target_properties(crash_child PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/tests)
target_link_libraries(crash_child PRIVATE tarvix_warnings)
target_link_libraries(crash_child PRIVATE tarvix_test_support)
add_dependencies(crash_child TarvixDlg)
add_dependencies(test_crash_recovery crash_child)
# Wine's crash in a process's exit, shown by a program with no code of ours
# (tools/wine-exit-crash runs it many times).
add_executable(wine_exit_crash tools/wine_exit_crash/exit_crash.cpp)
set_target_properties(wine_exit_crash PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/tests)
target_link_libraries(wine_exit_crash PRIVATE tarvix_warnings)
# Random edit sequences for as long as asked, with crashes or without (./tarvix soak).
add_executable(edit_soak tests/win32/edit_soak.cpp)
set_target_properties(edit_soak PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/tests)
target_link_libraries(edit_soak PRIVATE tarvix_warnings)
target_link_libraries(edit_soak PRIVATE tarvix_test_support)
add_dependencies(edit_soak TarvixDlg crash_child)
# Where the gauge tests look for the dialog library: passes each call on to the real one and
# counts the tour steps, or answers them as a damaged library would.
add_library(counting_dialog_library SHARED tests/win32/counting_library.cpp)
set_target_properties(counting_dialog_library PROPERTIES PREFIX "" OUTPUT_NAME TarvixDlg
    RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/tests/counting
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/counting)
target_include_directories(counting_dialog_library PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(counting_dialog_library PRIVATE tarvix_warnings)
target_link_options(counting_dialog_library PRIVATE -Wl,--kill-at)
add_dependencies(test_gauge_hostile counting_dialog_library)

include(cmake/bench.cmake)

# The screen benchmark (./tarvix bench) runs in bin/bench/stand-in, beside a stand-in dialog
# library that serves a route of known size; the other benchmarks (bench.cmake) run in bin/bench.
add_library(bench_dialog_stand_in SHARED bench/tour_library.cpp)
set_target_properties(bench_dialog_stand_in PROPERTIES PREFIX "" OUTPUT_NAME TarvixDlg
    RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/bench/stand-in
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stand-in)
target_link_libraries(bench_dialog_stand_in PRIVATE tarvix_warnings)
target_link_options(bench_dialog_stand_in PRIVATE -Wl,--kill-at)
target_link_libraries(bench_dialog_stand_in PRIVATE tarvix_core)
add_executable(screen_bench bench/screen_bench.cpp)
# In a folder of its own: the benchmarks beside the real library must not find the stand-in.
set_target_properties(screen_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/bench/stand-in)
target_link_libraries(screen_bench PRIVATE tarvix_warnings)
target_link_libraries(screen_bench PRIVATE tarvix_host_lib tarvix_test_kit)
add_dependencies(screen_bench Tarvix42 bench_dialog_stand_in)
add_dependencies(benchmarks screen_bench)
# A short run among the tests, so that a benchmark that cannot find what it flies fails there
# first; its figures are not looked at.
add_test(NAME win32.bench.screen_bench_runs COMMAND screen_bench 5 50)
set_tests_properties(win32.bench.screen_bench_runs PROPERTIES
    RESOURCE_LOCK wine_lane_a TIMEOUT 120)
add_dependencies(test_screen bench_dialog_stand_in) # its tour pictures
