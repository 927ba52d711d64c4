# Turns each PNG of gui/images into a constant byte array with its length, so
# the module carries its artwork and reads nothing from disk. NAME.png becomes
# NAME, and its enlargements NAME@2x.png and NAME@3x.png become NAME2x, NAME3x.
#   cmake -DIMAGE_DIR=... -DOUTPUT=... -P EmbedImages.cmake
set(pictures backgroundImage infoPanelImage powerSwitchImage inputSwitchImage stereoSwitchImage listenerStripImage)
set(names)
foreach(picture IN LISTS pictures)
    list(APPEND names "${picture}|${picture}" "${picture}@2x|${picture}2x" "${picture}@3x|${picture}3x")
endforeach()
set(out "// Generated from gui/images by cmake/EmbedImages.cmake; do not edit.\n#include \"ImageResources.h\"\n\nnamespace images\n{\n")
foreach(entry IN LISTS names)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 fileName)
    list(GET entry 1 name)
    set(file "${IMAGE_DIR}/${fileName}.png")
    if(EXISTS "${file}")
        file(READ "${file}" hex HEX)
        string(LENGTH "${hex}" hexLength)
        math(EXPR size "${hexLength} / 2")
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
    else()
        # A missing picture becomes an empty resource: the widget then draws
        # nothing but still works.
        set(size 0)
        set(bytes "0x00")
    endif()
    string(APPEND out "const unsigned char ${name}[] = {\n    ${bytes}\n};\nconst int ${name}Size = ${size};\n\n")
endforeach()
string(APPEND out "}\n")
file(WRITE "${OUTPUT}.tmp" "${out}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
