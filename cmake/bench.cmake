# Benchmarks: timed Windows programs in bin/bench, run by "./tarvix bench", never by CTest.
file(GLOB TARVIX_BENCHMARKS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/bench_*.cpp)
foreach(source ${TARVIX_BENCHMARKS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVIX_BIN}/bench)
    target_link_libraries(${name} PRIVATE tarvix_warnings)
    target_link_libraries(${name} PRIVATE tarvix_test_kit)
    add_dependencies(${name} TarvixDlg)
    add_dependencies(benchmarks ${name})
endforeach()
# The flight and route benchmarks load the gauge from beside them.
add_dependencies(benchmarks Tarvix42 TarvixDlg)
