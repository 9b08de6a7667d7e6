# SPDX-License-Identifier: GPL-3.0-or-later
# Compile options shared by every target of our own: strict warnings, the
# sanitizers when ORVELLIN_SANITIZE is on, and with ORVELLIN_FUZZ (Clang
# only) the coverage the fuzzing engine steers by as well.
add_library(orvellin_options INTERFACE)
target_compile_options(orvellin_options INTERFACE -Wall -Wextra -Wpedantic -Werror)
if(ORVELLIN_SANITIZE)
    target_compile_options(orvellin_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(orvellin_options INTERFACE -fsanitize=address,undefined)
endif()
if(ORVELLIN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ORVELLIN_FUZZ needs Clang's libFuzzer")
    endif()
    target_compile_options(orvellin_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(orvellin_options INTERFACE -fsanitize=address,undefined)
endif()

# orvellin_library(name SOURCES ... LINKS ...): a subsystem library whose headers
# are included as "folder/header.h" from src/.
function(orvellin_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE orvellin_options)
endfunction()
