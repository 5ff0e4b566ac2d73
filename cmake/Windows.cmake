# Windows build with MinGW-w64: the programs, the tools and the Windows tests.
# Everything links statically so that no MinGW DLL has to travel with it.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001")
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

set(TEMPORA_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${TEMPORA_BIN})

set(win_libs user32 gdi32 comctl32 comdlg32 shell32 ole32 oleaut32 uuid winmm advapi32
    msimg32 ws2_32 wininet shlwapi)

# The Win32 foundation and the _win library of each folder that has _win files.
tempora_sources(win win_portable win_win)
add_library(tempora_win STATIC ${win_portable} ${win_win})
target_link_libraries(tempora_win PUBLIC tempora_core ${win_libs})

set(TEMPORA_WIN_LIBS tempora_win)
foreach(sub IN LISTS TEMPORA_SUBSYSTEMS)
  tempora_sources(${sub} portable win)
  if(win)
    add_library(tempora_${sub}_win STATIC ${win})
    # The _win files of a subsystem may use any portable subsystem, and the
    # _win code of display besides their own.
    target_link_libraries(tempora_${sub}_win PUBLIC ${TEMPORA_PORTABLE_LIBS} tempora_win)
    if(NOT sub STREQUAL "display" AND TARGET tempora_display_win)
      target_link_libraries(tempora_${sub}_win PUBLIC tempora_display_win)
    endif()
    list(APPEND TEMPORA_WIN_LIBS tempora_${sub}_win)
  endif()
endforeach()

# The program's own windows; its entry point goes into Tempora.exe alone, so
# that the Windows tests can link everything else.
list(FILTER app_win EXCLUDE REGEX "/Main_win\\.cpp$")
add_library(tempora_app_win STATIC ${app_win})
target_link_libraries(tempora_app_win PUBLIC tempora_app ${TEMPORA_WIN_LIBS})

# The shipped data folder goes beside the programs: that folder is the data
# directory of a portable installation.
add_custom_target(tempora_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data ${TEMPORA_BIN}
  COMMENT "Copying the shipped data beside the programs")

add_executable(Tempora WIN32 ${CMAKE_SOURCE_DIR}/src/app/Main_win.cpp
               ${CMAKE_SOURCE_DIR}/src/app/Tempora.rc)
target_link_libraries(Tempora PRIVATE tempora_app_win)
target_link_options(Tempora PRIVATE -municode)
add_dependencies(Tempora tempora_data)

file(GLOB popup_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/popup/*.cpp
     ${CMAKE_SOURCE_DIR}/src/popup/*.rc)
if(popup_sources)
  add_executable(PopupMsg WIN32 ${popup_sources})
  target_link_libraries(PopupMsg PRIVATE tempora_reminders tempora_display_win tempora_win)
  target_link_options(PopupMsg PRIVATE -municode)
endif()

include(${CMAKE_SOURCE_DIR}/cmake/Tools.cmake)

if(NOT TEMPORA_TESTS)
  return()
endif()

# GoogleTest built from Debian's sources with this toolchain.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Starting a Wine process costs seconds, so a Windows test program is run
# whole or in a few shards (gtest's own sharding), each one ctest test in a
# Wine prefix and on an Xvfb display of its own (tools/wine-shard.sh), so that
# `ctest -j` runs them side by side. Their XML reports carry the per-case
# results for the summary of tools/test-all.sh.
set(TEMPORA_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
# The prefix the shards copy, made once before them.
add_test(NAME win.prefix
         COMMAND bash -c ". tools/wine-env.sh '${CMAKE_BINARY_DIR}' force-xvfb && wine_env_stop"
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(win.prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
function(tempora_wine_test target shards)
  math(EXPR last "${shards} - 1")
  foreach(index RANGE ${last})
    add_test(NAME win.${target}.${index}
             COMMAND bash tools/wine-shard.sh ${CMAKE_BINARY_DIR} ${target}.exe ${index} ${shards}
                     ${TEMPORA_TEST_RESULTS}/${target}-${index}.xml
             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(win.${target}.${index} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 900)
  endforeach()
endfunction()

# The portable core's own tests, run again on the Windows back-ends
# (code page 936, Win32 file access) ...
file(GLOB core_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(tempora_core_tests ${core_tests})
target_link_libraries(tempora_core_tests PRIVATE tempora_app gtest_main gmock)
target_compile_definitions(tempora_core_tests PRIVATE TEMPORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_options(tempora_core_tests PRIVATE -mconsole)
tempora_wine_test(tempora_core_tests 1)

# ... and the tests of the Win32 shell, which create real windows in-process.
file(GLOB win_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/win/*.rc)
if(win_tests)
  add_executable(tempora_win_tests ${win_tests})
  target_link_libraries(tempora_win_tests PRIVATE tempora_app_win gtest_main gmock)
  target_compile_definitions(tempora_win_tests PRIVATE TEMPORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_include_directories(tempora_win_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/app)
  target_link_options(tempora_win_tests PRIVATE -mconsole)
  add_dependencies(tempora_win_tests tempora_data)
  # A second program for the tests that need one: it speaks to the bar from outside.
  add_executable(SendUpgradeText ${CMAKE_SOURCE_DIR}/tests/win/helpers/SendUpgradeText.cpp)
  target_link_options(SendUpgradeText PRIVATE -municode -mconsole)
  add_dependencies(tempora_win_tests SendUpgradeText)
  # Saves the data files through the program's writers until the crash test kills it.
  add_executable(CrashSaver ${CMAKE_SOURCE_DIR}/tests/win/helpers/CrashSaver.cpp)
  target_link_libraries(CrashSaver PRIVATE ${TEMPORA_PORTABLE_LIBS})
  target_link_options(CrashSaver PRIVATE -municode -mconsole)
  add_dependencies(tempora_win_tests CrashSaver)
  # Sends random messages to the programs' windows from a process of its own.
  add_executable(HostileSender ${CMAKE_SOURCE_DIR}/tests/win/helpers/HostileSender.cpp)
  target_link_options(HostileSender PRIVATE -municode -mconsole)
  add_dependencies(tempora_win_tests HostileSender Tempora PopupMsg)
  tempora_wine_test(tempora_win_tests 4)
endif()
