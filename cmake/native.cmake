# Native build of the pure core with address and undefined-behaviour sanitizers.
set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(tarvix_sanitize INTERFACE)
target_compile_options(tarvix_sanitize INTERFACE ${sanitize})
target_link_options(tarvix_sanitize INTERFACE ${sanitize})

add_library(tarvix_core_native STATIC ${TARVIX_CORE_SOURCES} ${TARVIX_HOST_CORE_SOURCES})
target_link_libraries(tarvix_core_native PUBLIC tarvix_sanitize PRIVATE tarvix_warnings)
target_include_directories(tarvix_core_native PUBLIC ${CMAKE_SOURCE_DIR})

# The native tests are one program, compiled a few files at a time (unity batches): each file
# alone spent most of its time reading GoogleTest's headers, and each program linked with the
# sanitizers and listed its cases once more. Each case still runs in a process of its own.
file(GLOB TARVIX_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/test_*.cpp)
add_executable(native_tests ${TARVIX_NATIVE_TESTS})
set_target_properties(native_tests PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 6)
target_link_libraries(native_tests PRIVATE tarvix_warnings tarvix_core_native GTest::gtest_main)
gtest_discover_tests(native_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES)

# The includes run one way between the folders, with no circle.
add_test(NAME script.layers COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_layers.sh)

# Each rule's literal (a limit, a unit, the marker, a label's form) stays in its one home.
add_test(NAME script.rule_sites COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_rule_sites.sh)

# The package install against a stand-in package tool that fails as a mirror mid-sync does.
add_test(NAME script.install_packages COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_install_packages.sh)

# ./tarvix test's verdict on tests that pass only when run again, on stand-in tests.
add_test(NAME script.retry_policy COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_retry_policy.sh)

# One CTest run for everything: the cross build's tests (run under Wine) join this build's.
set(TARVIX_WINDOWS_BUILD "" CACHE PATH "Cross build folder whose tests this build's CTest runs too")
if(TARVIX_WINDOWS_BUILD)
    file(WRITE ${CMAKE_BINARY_DIR}/windows_tests.cmake "subdirs(\"${TARVIX_WINDOWS_BUILD}\")\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/windows_tests.cmake)
    # The ./tarvix script itself, flying what the build made (a Wine prefix of the flights' own).
    # Every test that flies through ./tarvix shares that prefix and its lock, which passes to a
    # waiting flight the moment a flight ends: the interrupted flight's check that it left the
    # lock free would see another test's flight holding it. So they run one at a time.
    # The longest tests (COST) start first: CTest starts the others in the order listed, and a
    # fresh clone has no times of an earlier run to go by, so these began minutes in and ended
    # the run alone.
    add_test(NAME script.tarvix COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_tarvix.sh)
    set_tests_properties(script.tarvix PROPERTIES TIMEOUT 600 RESOURCE_LOCK tarvix_flights COST 200)
    # The Wine prefixes copied from the tree's template, each a prefix of its own.
    add_test(NAME script.wine_prefix COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_wine_prefix.sh)
    set_tests_properties(script.wine_prefix PROPERTIES TIMEOUT 120)
    # Ctrl-C in the middle of a flight, sent to the host as a terminal sends it.
    add_test(NAME script.host_interrupt COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_host_interrupt.sh)
    set_tests_properties(script.host_interrupt PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine_lane_a)
    # The pilot's archive, built twice from clones of the commit and compared; then installed in
    # a folder laid out as the simulator's and flown from there, in a Wine prefix of its own.
    set(TARVIX_RELEASE_ARCHIVE ${CMAKE_BINARY_DIR}/release-test/Tarvix.zip)
    add_test(NAME script.release_reproducible
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_release_reproducible.sh ${TARVIX_RELEASE_ARCHIVE})
    set_tests_properties(script.release_reproducible PROPERTIES TIMEOUT 900 FIXTURES_SETUP release_archive
                         COST 150)
    add_test(NAME script.release_install
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_release_install.sh ${TARVIX_RELEASE_ARCHIVE}
                     ${TARVIX_WINDOWS_BUILD})
    set_tests_properties(script.release_install PROPERTIES TIMEOUT 300
                         FIXTURES_REQUIRED release_archive SKIP_RETURN_CODE 77 COST 100)
endif()

# The fuzzers of the record decoder, of the tree's load and save, of the exchange files' lines and
# of tarvix-db's waypoint and flight plan readers, when clang with libFuzzer is at hand: built
# with the rest (by clang, through the compiler cache, each source once for all four), and run
# for a bounded time among the tests (tools/fuzz-record) or for as long as asked (./tarvix fuzz).
find_program(TARVIX_CLANGXX clang++)
if(TARVIX_CLANGXX)
    set(fuzz_flags -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    set(fuzz_core common/db_record.cpp dialog/tree_plan.cpp common/record_rules.cpp
        common/text_fields.cpp common/airport_line.cpp common/record_check.cpp
        common/position_units.cpp)
    set(fuzz_waypoint_readers_sources dbtool/csv_format.cpp dbtool/file_kinds.cpp
        dbtool/finding_report.cpp dbtool/findings.cpp dbtool/gpx_format.cpp dbtool/plan_formats.cpp
        dbtool/waypoints.cpp dbtool/xml_text.cpp common/coordinate_text.cpp common/file_faults.cpp
        # The format table, which names the simulator's files' readers beside the others.
        dbtool/format_table.cpp dbtool/dat_files.cpp dbtool/db_check.cpp dbtool/db_show.cpp
        dbtool/record_file.cpp dbtool/text_codec.cpp dbtool/track_thinning.cpp)
    set(fuzz_waypoint_readers_libraries -lpugixml -lcsv)
    set(fuzz_objects ${CMAKE_BINARY_DIR}/fuzz/objects)
    set(fuzz_compiled "")
    foreach(target record_decoder tree_plans exchange_lines waypoint_readers)
        set(objects "")
        foreach(source tests/fuzz/fuzz_${target}.cpp ${fuzz_core} ${fuzz_${target}_sources})
            set(object ${fuzz_objects}/${source}.o)
            list(APPEND objects ${object})
            if(source IN_LIST fuzz_compiled)
                continue()
            endif()
            list(APPEND fuzz_compiled ${source})
            add_custom_command(OUTPUT ${object}
                COMMAND ${CMAKE_CXX_COMPILER_LAUNCHER} ${TARVIX_CLANGXX} ${fuzz_flags}
                    -I${CMAKE_SOURCE_DIR} -MD -MF ${object}.d -c ${CMAKE_SOURCE_DIR}/${source}
                    -o ${object}
                DEPENDS ${CMAKE_SOURCE_DIR}/${source}
                DEPFILE ${object}.d
                COMMENT "Compiling ${source} for the fuzzers")
        endforeach()
        set(program ${CMAKE_BINARY_DIR}/fuzz/fuzz_${target})
        add_custom_command(OUTPUT ${program}
            COMMAND ${TARVIX_CLANGXX} ${fuzz_flags} ${objects} ${fuzz_${target}_libraries}
                -o ${program}
            DEPENDS ${objects}
            COMMENT "Linking the fuzzer ${target}")
        add_custom_target(fuzz_${target} ALL DEPENDS ${program})
        add_test(NAME native.fuzz.${target}
            COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-record 15 ${target} ${program})
        # Each takes its whole time whatever else runs: started last, the four of them ended the
        # run alone.
        set_tests_properties(native.fuzz.${target} PROPERTIES TIMEOUT 120 COST 16)
    endforeach()
endif()

# The screen copy's benchmark, run natively by "./tarvix bench": optimised and without
# sanitizers, once vectorised for this processor and once without vector code, as the i686 build.
foreach(variant vector scalar)
    add_executable(native_copy_${variant} bench/native_copy.cpp gauge/screen_copy.cpp)
    target_include_directories(native_copy_${variant} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(native_copy_${variant} PRIVATE tarvix_warnings)
    target_compile_options(native_copy_${variant} PRIVATE -O3)
    set_target_properties(native_copy_${variant} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
        ${CMAKE_BINARY_DIR}/bench)
endforeach()
target_compile_definitions(native_copy_vector PRIVATE
    TARVIX_COPY_BUILD="vectorised")
target_compile_definitions(native_copy_scalar PRIVATE
    TARVIX_COPY_BUILD="without vector code, as on i686")
target_compile_options(native_copy_scalar PRIVATE -fno-tree-vectorize -fno-tree-slp-vectorize)
add_dependencies(benchmarks native_copy_vector native_copy_scalar)

# The shipped i686 modules beside this build, whose PE headers and import tables a native test
# reads: they are built on every machine, also where no 32-bit program can run.
get_filename_component(TARVIX_SHIPPED_DEFAULT ${CMAKE_BINARY_DIR}/../win32 ABSOLUTE)
set(TARVIX_SHIPPED_BUILD ${TARVIX_SHIPPED_DEFAULT} CACHE PATH "The i686 cross build folder")
# Both from the test program's folder (testkit/program_folder.h).
file(RELATIVE_PATH TARVIX_SHIPPED_BIN ${CMAKE_BINARY_DIR} ${TARVIX_SHIPPED_BUILD}/bin)
file(RELATIVE_PATH TARVIX_IMPORT_LIST ${CMAKE_BINARY_DIR}
    ${CMAKE_SOURCE_DIR}/tests/data/module_imports.txt)
target_compile_definitions(native_tests PRIVATE
    TARVIX_SHIPPED_BIN="${TARVIX_SHIPPED_BIN}" TARVIX_IMPORT_LIST="${TARVIX_IMPORT_LIST}")
include(cmake/dbtool.cmake)
