# libFuzzer targets, one per tests/fuzz/*.cpp; the libraries they link are
# compiled with the fuzzer's coverage and the sanitizers (CMakeLists.txt).
# Each also runs briefly as a ctest test over its seed folder
# tests/fuzz/corpus/<name>/ (when present), so that a parser regression shows
# in the ordinary test run; long runs go through tools/run-fuzz.sh.
file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
foreach(src IN LISTS fuzzers)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE ${TEMPORA_PORTABLE_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  # New inputs go to the first folder named, a scratch folder in the build tree,
  # so the committed seeds stay as they are.
  set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
  file(MAKE_DIRECTORY ${work})
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${corpus})
    set(corpus)
  endif()
  add_test(NAME fuzz.${name} COMMAND ${name} -max_total_time=10 -rss_limit_mb=1024 ${work} ${corpus})
endforeach()
