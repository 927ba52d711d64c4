# JUCE is compiled exactly once, into one static library that every target of
# the project links, the VST3 and standalone builds included. Linking the
# juce::juce_* interface targets into several targets would compile the module
# sources once per target. A binary takes from the archive only the modules it
# uses: the VST 2 and LV2 modules never pull in the audio devices or the
# plug-in hosting code.
find_package(JUCE CONFIG REQUIRED)
find_package(PkgConfig REQUIRED)

# The modules every binary may use, and those only the VST3 and standalone
# builds need: a build without them (the sanitizer and fuzzing trees)
# compiles no more of JUCE than it links.
set(LUMIDOR_JUCE_MODULES
    juce_core juce_events juce_data_structures juce_graphics juce_gui_basics
    juce_audio_basics juce_audio_formats)
if(LUMIDOR_PLUGIN_FORMATS AND NOT LUMIDOR_DSP_ONLY)
    list(APPEND LUMIDOR_JUCE_MODULES juce_gui_extra juce_audio_devices juce_audio_processors juce_audio_utils)
endif()
list(TRANSFORM LUMIDOR_JUCE_MODULES PREPEND juce:: OUTPUT_VARIABLE LUMIDOR_JUCE_MODULE_TARGETS)

set(LUMIDOR_SYSLIB_PACKAGES freetype2 fontconfig libpng libjpeg zlib flac ogg vorbis vorbisenc vorbisfile)
if(juce_audio_devices IN_LIST LUMIDOR_JUCE_MODULES)
    list(APPEND LUMIDOR_SYSLIB_PACKAGES alsa)
endif()
pkg_check_modules(LUMIDOR_SYSLIBS REQUIRED IMPORTED_TARGET ${LUMIDOR_SYSLIB_PACKAGES})

# A sanitizer or fuzzing build may reuse the archive of the main build
# (-DLUMIDOR_JUCE_ARCHIVE=build/liblumidor_juce.a) instead of compiling JUCE
# again; JUCE itself then runs uninstrumented.
set(LUMIDOR_JUCE_ARCHIVE "" CACHE FILEPATH "Prebuilt lumidor_juce archive to link instead of compiling JUCE")

if(LUMIDOR_JUCE_ARCHIVE)
    add_library(lumidor_juce STATIC IMPORTED GLOBAL)
    set_target_properties(lumidor_juce PROPERTIES IMPORTED_LOCATION ${LUMIDOR_JUCE_ARCHIVE})
    target_link_libraries(lumidor_juce INTERFACE PkgConfig::LUMIDOR_SYSLIBS pthread dl rt)
else()
    add_library(lumidor_juce STATIC)
    set_target_properties(lumidor_juce PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    target_link_libraries(lumidor_juce
        PRIVATE
            ${LUMIDOR_JUCE_MODULE_TARGETS}
        PUBLIC
            PkgConfig::LUMIDOR_SYSLIBS pthread dl rt)
    target_compile_options(lumidor_juce PRIVATE -w)
    # The standalone app is a JACK client when a JACK server runs (JUCE opens
    # libjack at run time, so nothing links it) and an ALSA one otherwise.
    target_compile_definitions(lumidor_juce PRIVATE
        JUCE_JACK=1
        JUCE_ALSA=1
        JUCE_JACK_CLIENT_NAME="${PROJECT_NAME}")
    # Fuzzing the host surface needs JUCE instrumented too: a fault inside
    # the framework (its UTF-8 decoder once wrote past a string) otherwise
    # surfaces only much later, as a corrupt heap somewhere else.
    option(LUMIDOR_SANITIZE_JUCE "Compile JUCE with AddressSanitizer as well" OFF)
    if(LUMIDOR_SANITIZE_JUCE)
        target_compile_options(lumidor_juce PRIVATE -fsanitize=address -fno-omit-frame-pointer)
    endif()
endif()

set(LUMIDOR_JUCE_DEFINITIONS
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_FLAC=1
    JUCE_USE_OGGVORBIS=1
    JUCE_USE_MP3AUDIOFORMAT=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    # The format tests host the VST3 build through the same archive; JUCE's
    # VST3 client then includes only the SDK's headers, whose code the
    # hosting side already holds.
    JUCE_PLUGINHOST_VST3=1
    )
foreach(module IN LISTS LUMIDOR_JUCE_MODULES)
    list(APPEND LUMIDOR_JUCE_DEFINITIONS JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()
# JUCE's debug and release headers differ in layout: code that links a reused
# archive must see the settings that archive was compiled with.
if(LUMIDOR_JUCE_ARCHIVE)
    list(APPEND LUMIDOR_JUCE_DEFINITIONS NDEBUG=1 _NDEBUG=1)
else()
    list(APPEND LUMIDOR_JUCE_DEFINITIONS $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1> $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1 _NDEBUG=1>)
endif()
if(LUMIDOR_JUCE_ARCHIVE)
    target_compile_definitions(lumidor_juce INTERFACE ${LUMIDOR_JUCE_DEFINITIONS})
    target_include_directories(lumidor_juce SYSTEM INTERFACE ${JUCE_MODULES_DIR})
else()
    target_compile_definitions(lumidor_juce PUBLIC ${LUMIDOR_JUCE_DEFINITIONS})
    target_include_directories(lumidor_juce SYSTEM PUBLIC ${JUCE_MODULES_DIR})
endif()
