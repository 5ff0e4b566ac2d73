# Native Linux build: the portable core, its tests, tools and benchmarks.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
include(GoogleTest)

option(TEMPORA_SANITIZE "Build host tests with address and undefined-behaviour sanitizers" ON)
if(TEMPORA_SANITIZE)
  set(san -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_compile_options(tempora_core PRIVATE ${san})
  target_link_options(tempora_core PUBLIC ${san})
endif()

file(GLOB host_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(tempora_tests ${host_tests})
target_link_libraries(tempora_tests PRIVATE tempora_core GTest::gtest_main GTest::gmock)
target_compile_options(tempora_tests PRIVATE ${TEMPORA_WARNINGS})
target_compile_definitions(tempora_tests PRIVATE
  TEMPORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TEMPORA_SHARED_DATA="${CMAKE_SOURCE_DIR}/../shared/data")
gtest_discover_tests(tempora_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60)

file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
add_executable(tempora_bench ${benches})
target_link_libraries(tempora_bench PRIVATE tempora_core benchmark::benchmark benchmark::benchmark_main)

include(${CMAKE_SOURCE_DIR}/cmake/Tools.cmake)
