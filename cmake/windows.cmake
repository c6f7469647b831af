# Compiler and linker settings shared by every Windows target of this project.
# The programs are small C-like C++: no exceptions, no RTTI, texts in code page 1252.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Where the finished programs of a build go (build/test/programs is the fixed
# place of the x86-64 programs that outside harnesses run under Wine).
set(QF_PROGRAM_DIR ${CMAKE_BINARY_DIR}/programs)

set(QF_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP1252)
set(QF_DEFINES WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)

# Code that ends up in the programs (libraries and program sources).
function(qf_program_code target)
  target_compile_options(${target} PRIVATE ${QF_CHARSET_FLAGS} -Os -fno-exceptions -fno-rtti
    -Wall -Wextra -Werror -ffunction-sections)
  target_compile_definitions(${target} PUBLIC ${QF_DEFINES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A shipping program: GUI subsystem, everything linked statically, stripped,
# no time stamp in the PE header so that the same sources give the same bytes.
function(qf_program target)
  qf_program_code(${target})
  target_link_options(${target} PRIVATE -mwindows -static -s -Os -Wl,--gc-sections
    -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QF_PROGRAM_DIR})
endfunction()
