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

# Each target names the Windows libraries it uses; CMake's default list of
# them would name them all a second time on every link line.
set(CMAKE_C_STANDARD_LIBRARIES "")
set(CMAKE_CXX_STANDARD_LIBRARIES "")

# Resource scripts are written in code page 1252 like the program texts.
string(APPEND CMAKE_RC_FLAGS " -c 1252")

# qf_program_resources(<target> <script> [include folders...]): the resource
# script of a program, compiled by windres alone. It finds frame/program.rc
# and the manifest from the source folder and the program icon in
# QF_PAYLOAD_DIR. Windres names no dependencies: the shared script and the
# manifest are named here, so that a change to either compiles anew.
function(qf_program_resources target script)
  add_library(${target} OBJECT ${script})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${QF_PAYLOAD_DIR} ${ARGN})
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/frame/program.rc ${CMAKE_SOURCE_DIR}/frame/program.manifest)
endfunction()

# Code that ends up in the programs (libraries and program sources).
function(qf_program_code target)
  target_compile_options(${target} PRIVATE ${QF_CHARSET_FLAGS} -Os -fno-exceptions -fno-rtti
    -Wall -Wextra -Werror -ffunction-sections)
  # Without exceptions nothing unwinds the 32-bit stack: no unwind tables.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_options(${target} PRIVATE -fno-asynchronous-unwind-tables -fno-unwind-tables)
  endif()
  target_compile_definitions(${target} PUBLIC ${QF_DEFINES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A shipping program: GUI subsystem, everything linked statically, stripped,
# no time stamp in the PE header so that the same sources give the same bytes,
# and marked terminal-server aware (on a Remote Desktop server Windows then
# applies none of its measures for older programs to them: no per-user Windows
# folder, no mapping of INI files and registry keys).
function(qf_program target)
  qf_program_code(${target})
  target_link_options(${target} PRIVATE -mwindows -static -s -Os -Wl,--gc-sections
    -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QF_PROGRAM_DIR})
endfunction()

# Authenticode signing of the shipping programs, when the environment of the
# configure run names a certificate: QF_SIGN_PKCS12 (absolute path) and
# optionally QF_SIGN_TIMESTAMP_URL; the password is read from the environment
# at build time by tools/sign.sh. Both values are part of the link step's
# command, so setting, changing or clearing them links and signs anew.
set(QF_SIGN_PKCS12 "$ENV{QF_SIGN_PKCS12}")
set(QF_SIGN_TIMESTAMP_URL "$ENV{QF_SIGN_TIMESTAMP_URL}")

# qf_sign(<program target>): sign the program right after it is linked (the
# test build, which runs under Wine, is never signed).
function(qf_sign target)
  if(QF_SIGN_PKCS12 AND NOT QF_TESTS)
    if(NOT IS_ABSOLUTE "${QF_SIGN_PKCS12}")
      message(FATAL_ERROR "QF_SIGN_PKCS12 must be an absolute path (tools/build.sh makes it one): ${QF_SIGN_PKCS12}")
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND bash ${CMAKE_SOURCE_DIR}/tools/sign.sh $<TARGET_FILE:${target}>
        ${QF_SIGN_PKCS12} ${QF_SIGN_TIMESTAMP_URL}
      VERBATIM)
    # A renewed certificate in the same file signs the program anew.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QF_SIGN_PKCS12})
  endif()
endfunction()
