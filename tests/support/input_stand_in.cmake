# qf_input_stand_in(<target> <folder>): the stand-in for Windows' input.dll
# (tests/support/input_stand_in.cpp), built for the build's own architecture
# as <folder>/input.dll. The export keeps its plain name on i686 too, as
# Windows' own input.dll has it (--kill-at drops the stdcall suffix "@8").
function(qf_input_stand_in target folder)
  add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/tests/support/input_stand_in.cpp)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Os)
  target_link_options(${target} PRIVATE -static -s -Wl,--kill-at)
  target_link_libraries(${target} PRIVATE advapi32 kernel32)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME input
    RUNTIME_OUTPUT_DIRECTORY ${folder})
endfunction()
