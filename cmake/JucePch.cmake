# Our sources that use JUCE spend most of their compile time parsing JUCE's
# headers (about 2 s of every 2.5 s). They share one precompiled copy of the
# headers nearly all of them include, built once per build folder and per
# language standard, which cuts a build of our own code by more than half.
#
# Every target of ours that links the JUCE archive reuses it; GCC checks at
# each use that the options it was built with still hold (the standard, the
# sanitizers) and otherwise reads the headers as text, so a mismatch costs
# time, never correctness. JUCE's own plug-in wrapper targets, the formats'
# shared code and what links it see JUCE's per-plug-in settings and are left
# alone;
# clang (the fuzzing build) refuses a precompiled header outright on any
# difference, so only GCC builds use it.
option(LUMIDOR_JUCE_PCH "Precompile JUCE's headers for our own sources (GCC)" ON)

if(NOT LUMIDOR_JUCE_PCH OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
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

# True when the target links the JUCE archive, directly or through our own
# libraries.
function(lumidor_links_juce target result)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries interface)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
        if(library STREQUAL "lumidor_juce")
            set(${result} TRUE PARENT_SCOPE)
            return()
        endif()
        if(TARGET ${library} AND library MATCHES "^lumidor_")
            lumidor_links_juce(${library} linked)
            if(linked)
                set(${result} TRUE PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
    set(${result} FALSE PARENT_SCOPE)
endfunction()

function(lumidor_use_juce_pch_in directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(juce_formats ${target} JUCE_FORMATS)
        get_target_property(juce_kind ${target} JUCE_TARGET_KIND_STRING)
        if(NOT type MATCHES "^(STATIC_LIBRARY|MODULE_LIBRARY|SHARED_LIBRARY|EXECUTABLE)$"
           OR target MATCHES "^lumidor_juce"
           OR juce_formats OR juce_kind)
            continue()
        endif()
        lumidor_links_juce(${target} linked)
        if(NOT linked)
            continue()
        endif()
        # JUCE hands its plug-in settings on to whatever links the formats'
        # shared code, and they change what its headers declare.
        get_target_property(libraries ${target} LINK_LIBRARIES)
        set(client FALSE)
        foreach(library IN LISTS libraries)
            if(TARGET ${library})
                get_target_property(library_formats ${library} JUCE_FORMATS)
                if(library_formats)
                    set(client TRUE)
                endif()
            endif()
        endforeach()
        if(client)
            continue()
        endif()
        # One header serves libraries and programs alike: programs compile
        # as position-independent code too (they still link as PIE), since
        # GCC takes no header precompiled with other PIC settings.
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
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        lumidor_use_juce_pch_in(${subdirectory})
    endforeach()
endfunction()

lumidor_use_juce_pch_in(${PROJECT_SOURCE_DIR})
