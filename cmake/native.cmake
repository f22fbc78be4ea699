# Native build of the pure core with address and undefined-behaviour sanitizers.
set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(tarvix_sanitize INTERFACE)
target_compile_options(tarvix_sanitize INTERFACE ${sanitize})
target_link_options(tarvix_sanitize INTERFACE ${sanitize})

add_library(tarvix_core_native STATIC ${TARVIX_CORE_SOURCES} ${TARVIX_HOST_CORE_SOURCES})
target_link_libraries(tarvix_core_native PUBLIC tarvix_sanitize PRIVATE tarvix_warnings)
target_include_directories(tarvix_core_native PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB TARVIX_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/test_*.cpp)
foreach(source ${TARVIX_NATIVE_TESTS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tarvix_warnings tarvix_core_native GTest::gtest_main)
    gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 30)
endforeach()

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
    add_test(NAME script.tarvix COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_tarvix.sh)
    set_tests_properties(script.tarvix PROPERTIES TIMEOUT 600 RESOURCE_LOCK tarvix_flights)
    # Ctrl-C in the middle of a flight, sent to the host as a terminal sends it.
    add_test(NAME script.host_interrupt COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_host_interrupt.sh)
    set_tests_properties(script.host_interrupt PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine_lane_a)
    # The pilot's archive, built twice from clones of the commit and compared; then installed in
    # a folder laid out as the simulator's and flown from there, in a Wine prefix of its own.
    set(TARVIX_RELEASE_ARCHIVE ${CMAKE_BINARY_DIR}/release-test/Tarvix.zip)
    add_test(NAME script.release_reproducible
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_release_reproducible.sh ${TARVIX_RELEASE_ARCHIVE})
    set_tests_properties(script.release_reproducible PROPERTIES TIMEOUT 900 FIXTURES_SETUP release_archive)
    add_test(NAME script.release_install
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/script/test_release_install.sh ${TARVIX_RELEASE_ARCHIVE}
                     ${TARVIX_WINDOWS_BUILD})
    set_tests_properties(script.release_install PROPERTIES TIMEOUT 300
                         FIXTURES_REQUIRED release_archive SKIP_RETURN_CODE 77)
endif()

# The fuzzers of the record decoder, of the tree's load and save, of the exchange files' lines and
# of tarvix-db's waypoint and flight plan readers, for a bounded time, when clang with libFuzzer
# is at hand.
find_program(TARVIX_CLANGXX clang++)
if(TARVIX_CLANGXX)
    foreach(target record_decoder tree_plans exchange_lines waypoint_readers)
        add_test(NAME native.fuzz.${target} COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-record 15 ${target})
        set_tests_properties(native.fuzz.${target} PROPERTIES TIMEOUT 120)
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
target_compile_definitions(test_module_imports PRIVATE
    TARVIX_SHIPPED_BIN="${TARVIX_SHIPPED_BIN}" TARVIX_IMPORT_LIST="${TARVIX_IMPORT_LIST}")
include(cmake/dbtool.cmake)
