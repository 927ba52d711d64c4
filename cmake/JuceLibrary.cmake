# JUCE is compiled exactly once, into one static library that every target of
# the project links. Linking the juce::juce_* interface targets into several
# targets would compile the module sources once per target.
find_package(JUCE CONFIG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUMIDOR_SYSLIBS REQUIRED IMPORTED_TARGET
    freetype2 fontconfig libpng libjpeg zlib flac ogg vorbis vorbisenc vorbisfile)

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
            juce::juce_core juce::juce_events juce::juce_data_structures
            juce::juce_graphics juce::juce_gui_basics
            juce::juce_audio_basics juce::juce_audio_formats
        PUBLIC
            PkgConfig::LUMIDOR_SYSLIBS pthread dl rt)
    target_compile_options(lumidor_juce PRIVATE -w)
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
    JUCE_STANDALONE_APPLICATION=0
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_FLAC=1
    JUCE_USE_OGGVORBIS=1
    JUCE_USE_MP3AUDIOFORMAT=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_MODULE_AVAILABLE_juce_core=1
    JUCE_MODULE_AVAILABLE_juce_events=1
    JUCE_MODULE_AVAILABLE_juce_data_structures=1
    JUCE_MODULE_AVAILABLE_juce_graphics=1
    JUCE_MODULE_AVAILABLE_juce_gui_basics=1
    JUCE_MODULE_AVAILABLE_juce_audio_basics=1
    JUCE_MODULE_AVAILABLE_juce_audio_formats=1
    )
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
