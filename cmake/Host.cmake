# Native Linux build: the portable libraries and the tools, with the tests
# (host preset, under the sanitizers) or the benchmarks (release preset,
# optimised and uninstrumented, so that their figures mean something).
include(${CMAKE_SOURCE_DIR}/cmake/Tools.cmake)

if(TEMPORA_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)

  file(GLOB host_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
  add_executable(tempora_tests ${host_tests})
  target_link_libraries(tempora_tests PRIVATE tempora_app GTest::gtest_main GTest::gmock)
  target_compile_definitions(tempora_tests PRIVATE TEMPORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(tempora_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60)

  # The source tree's own checks: #include directions between the folders,
  # and formatting of every tracked C++ file.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME check.layers COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/check-layers.py
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  find_program(CLANG_FORMAT clang-format REQUIRED)
  add_test(NAME check.format COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-format.sh ${CLANG_FORMAT}
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endif()

if(TEMPORA_BENCH)
  find_package(benchmark REQUIRED)
  file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
  add_executable(tempora_bench ${benches})
  target_link_libraries(tempora_bench PRIVATE tempora_app tempora_calendar tempora_display
                        benchmark::benchmark benchmark::benchmark_main)
  # Benchmarks of the shipped artwork read it from data/.
  target_compile_definitions(tempora_bench PRIVATE TEMPORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

  # The tick driver that callgrind counts the instructions of one tick with.
  add_executable(tempora_tick_cost ${CMAKE_SOURCE_DIR}/tests/bench/tick/TickCost.cpp)
  target_link_libraries(tempora_tick_cost PRIVATE tempora_app)
  target_compile_definitions(tempora_tick_cost PRIVATE TEMPORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
