# Our sources that use JUCE spend most of their compile time parsing JUCE's
# headers (about 2 s of every 2.5 s). They share one precompiled copy of the
# headers nearly all of them include, built once per build folder and per
# language standard, which cuts a build of our own code by more than half.
#
# A target takes it only when named to lumidor_use_juce_pch (the list is in
# the top CMakeLists.txt). GCC checks at each use that the options it was
# built with still hold (the standard, the sanitizers) and otherwise reads
# the headers as text, so a mismatch costs time, never correctness. Never
# name JUCE's own plug-in wrapper targets, the formats' shared code or what
# links it: they see JUCE's per-plug-in settings, which change what its
# headers declare. clang (the fuzzing build) refuses a precompiled header
# outright on any difference, so only GCC builds use it.
option(LUMIDOR_JUCE_PCH "Precompile JUCE's headers for our own sources (GCC)" ON)

set(LUMIDOR_JUCE_PCH_ACTIVE ${LUMIDOR_JUCE_PCH})
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(LUMIDOR_JUCE_PCH_ACTIVE OFF)
endif()

# Each named target that exists in this build reuses the precompiled headers
# of its language standard.
function(lumidor_use_juce_pch)
    if(NOT LUMIDOR_JUCE_PCH_ACTIVE)
        return()
    endif()
    foreach(target IN LISTS ARGN)
        if(NOT TARGET ${target})
            continue()
        endif()
        # One header serves libraries and programs alike: programs compile
        # as position-independent code too (they still link as PIE), since
        # GCC takes no header precompiled with other PIC settings.
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            target_compile_options(${target} PRIVATE -fPIC)
        endif()
        get_target_property(features ${target} COMPILE_FEATURES)
        if(cxx_std_20 IN_LIST features)
            target_precompile_headers(${target} REUSE_FROM lumidor_juce_pch20)
        else()
            target_precompile_headers(${target} REUSE_FROM lumidor_juce_pch17)
        endif()
    endforeach()
endfunction()

if(NOT LUMIDOR_JUCE_PCH_ACTIVE)
    return()
endif()

set(LUMIDOR_JUCE_PCH_HEADERS
    <juce_gui_basics/juce_gui_basics.h>
    <juce_audio_basics/juce_audio_basics.h>)

set(LUMIDOR_JUCE_PCH_SOURCE ${CMAKE_BINARY_DIR}/lumidor_juce_pch.cpp)
file(WRITE ${LUMIDOR_JUCE_PCH_SOURCE} "// The precompiled JUCE headers' own translation unit.\n")

foreach(standard IN ITEMS 17 20)
    add_library(lumidor_juce_pch${standard} STATIC ${LUMIDOR_JUCE_PCH_SOURCE})
    target_link_libraries(lumidor_juce_pch${standard} PRIVATE lumidor_juce)
    target_compile_features(lumidor_juce_pch${standard} PRIVATE cxx_std_${standard})
    target_compile_options(lumidor_juce_pch${standard} PRIVATE ${LUMIDOR_STRICT_FP})
    target_precompile_headers(lumidor_juce_pch${standard} PRIVATE ${LUMIDOR_JUCE_PCH_HEADERS})
endforeach()

