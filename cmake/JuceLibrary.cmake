# JUCE is compiled exactly once, into one static library that every target of
# the project links. Linking the juce::juce_* interface targets into several
# targets would compile the module sources once per target.
find_package(JUCE CONFIG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUMIDOR_SYSLIBS REQUIRED IMPORTED_TARGET
    freetype2 fontconfig libpng libjpeg zlib flac ogg vorbis vorbisenc vorbisfile)

add_library(lumidor_juce STATIC)
target_link_libraries(lumidor_juce
    PRIVATE
        juce::juce_core juce::juce_events juce::juce_data_structures
        juce::juce_graphics juce::juce_gui_basics
        juce::juce_audio_basics juce::juce_audio_formats
    PUBLIC
        PkgConfig::LUMIDOR_SYSLIBS pthread dl rt)

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
    $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>
    $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1 _NDEBUG=1>)
target_compile_definitions(lumidor_juce PUBLIC ${LUMIDOR_JUCE_DEFINITIONS})
target_include_directories(lumidor_juce SYSTEM PUBLIC ${JUCE_MODULES_DIR})
target_compile_options(lumidor_juce PRIVATE -w)
