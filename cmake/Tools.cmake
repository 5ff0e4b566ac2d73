# Command-line tools, built for both platforms: one folder under tools/ each
# that holds *.cpp files. Each links the libraries it uses; a tool not named
# here uses the core alone.
set(tool_libs_led-png tempora_display)
set(tool_libs_skinpack tempora_display)
set(tool_libs_tempora-cal tempora_calendar tempora_timesvc)

file(GLOB tool_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*)
foreach(dir IN LISTS tool_dirs)
  file(GLOB tool_src CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(IS_DIRECTORY ${dir} AND tool_src)
    get_filename_component(name ${dir} NAME)
    add_executable(${name} ${tool_src})
    target_link_libraries(${name} PRIVATE tempora_core ${tool_libs_${name}})
    if(WIN32)
      target_link_options(${name} PRIVATE -municode)
    endif()
  endif()
endforeach()
