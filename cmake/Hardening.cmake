# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening Debian builds its own packages with, for every target of our
# own: stack protection, fortified C library calls in optimised builds (they
# need the optimiser), and relocations made read-only once bound at start-up.
# Executables are position independent by the compiler's default. Sanitizer
# and fuzzing builds go without.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT ORVELLIN_SANITIZE AND NOT ORVELLIN_FUZZ)
    set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    target_compile_options(orvellin_options INTERFACE
        -fstack-protector-strong -fstack-clash-protection
        $<${optimised}:-U_FORTIFY_SOURCE> $<${optimised}:-D_FORTIFY_SOURCE=2>)
    target_link_options(orvellin_options INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
