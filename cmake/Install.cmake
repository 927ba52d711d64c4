# Installing Lumidor, and its Debian package.
#
# Where `cmake --install build` puts things is settled when it runs:
# - with an explicit prefix (cmake --install build --prefix DIR, or any
#   CMAKE_INSTALL_PREFIX but the default /usr/local; the package installs with
#   /usr): the VST 2 module into DIR/lib/lxvst, the VST3 and LV2 bundles into
#   DIR/lib/vst3 and DIR/lib/lv2, the CLAP module into DIR/lib/clap, the
#   command-line host `lumidor-host` and the standalone app `lumidor` into DIR/bin, the factory bank into
#   DIR/share/lumidor/presets, the documents and the licence (as `copyright`)
#   into DIR/share/doc/lumidor;
# - otherwise only the plug-ins, each into the current user's folder that
#   Linux hosts scan: the first folder of LXVST_PATH, VST3_PATH, LV2_PATH or
#   CLAP_PATH, else ~/.lxvst, ~/.vst3, ~/.lv2, ~/.clap. Programs and
#   documents stay in the build tree, so a user's home folder gets no bin/ or
#   share/.
# Each plug-in installed is reported as "Installed <format>: <path>". A bundle
# is replaced whole, so no file of an older build stays in it. With --strip
# (and in the package) the binaries are stripped of their symbol tables.
#
# The formats' build outputs come from formats/CMakeLists.txt
# (LUMIDOR_VST3_BUNDLE_DIR, LUMIDOR_LV2_BUNDLE_DIR, LUMIDOR_STANDALONE_BINARY
# and their targets); when the formats are not built they are unset, and only
# the VST 2 and CLAP modules, the LV2 bundle, the host and the documents are
# installed.

# Everything the install copies; `cmake --install` builds nothing itself.
add_custom_target(lumidor_installables)
add_dependencies(lumidor_installables Lumidor ${LUMIDOR_CLAP_TARGET} lumidor-host)
foreach(target IN ITEMS LUMIDOR_VST3_TARGET LUMIDOR_LV2_TARGET LUMIDOR_STANDALONE_TARGET)
    if(${target})
        add_dependencies(lumidor_installables ${${target}})
    endif()
endforeach()

# Debian's name for the architecture the build is for.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    set(LUMIDOR_DEB_ARCH arm64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    set(LUMIDOR_DEB_ARCH amd64)
else()
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE LUMIDOR_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()

# The same build outputs for tests/package/run-package-test.sh, which checks
# each installed layout against them.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/lumidor-install-sources.txt CONTENT
"vst2=$<TARGET_FILE:Lumidor>
clap=$<TARGET_FILE:${LUMIDOR_CLAP_TARGET}>
vst3=${LUMIDOR_VST3_BUNDLE_DIR}
lv2=${LUMIDOR_LV2_BUNDLE_DIR}
standalone=${LUMIDOR_STANDALONE_BINARY}
deb_arch=${LUMIDOR_DEB_ARCH}
emulator=${CMAKE_CROSSCOMPILING_EMULATOR}
")

install(CODE "
    set(lumidor_vst2_module \"$<TARGET_FILE:Lumidor>\")
    set(lumidor_clap_module \"$<TARGET_FILE:${LUMIDOR_CLAP_TARGET}>\")
    set(lumidor_host \"$<TARGET_FILE:lumidor-host>\")
    set(lumidor_vst3_bundle \"${LUMIDOR_VST3_BUNDLE_DIR}\")
    set(lumidor_lv2_bundle \"${LUMIDOR_LV2_BUNDLE_DIR}\")
    set(lumidor_standalone \"${LUMIDOR_STANDALONE_BINARY}\")
    set(lumidor_source_dir \"${PROJECT_SOURCE_DIR}\")
    set(lumidor_strip_tool \"${CMAKE_STRIP}\")
")
install(CODE [[
    # The first folder of a host's search path variable, else the fallback
    # in the home folder.
    function(lumidor_user_folder variable fallback result)
        string(REPLACE ":" ";" folders "$ENV{${variable}}")
        foreach(folder IN LISTS folders)
            if(NOT folder STREQUAL "")
                set(${result} "${folder}" PARENT_SCOPE)
                return()
            endif()
        endforeach()
        set(${result} "$ENV{HOME}/${fallback}" PARENT_SCOPE)
    endfunction()

    # Installs one file or one bundle folder into `destination` (under
    # DESTDIR, as every install rule does) with `mode` "program" or "data".
    # NAME renames a file; a bundle replaces its older copy. Stripped when
    # asked. Sets `lumidor_installed` to the path installed.
    function(lumidor_install source destination mode)
        cmake_parse_arguments(PARSE_ARGV 3 arg "" "NAME" "")
        get_filename_component(name "${source}" NAME)
        if(arg_NAME)
            set(name "${arg_NAME}")
        endif()
        if(NOT EXISTS "${source}")
            message(FATAL_ERROR "${source} is missing: build the target lumidor_installables first")
        endif()
        set(target "$ENV{DESTDIR}${destination}/${name}")
        set(rights OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        if(mode STREQUAL "program")
            list(APPEND rights OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
        endif()
        if(IS_DIRECTORY "${source}")
            file(REMOVE_RECURSE "${target}")
            file(INSTALL "${source}" DESTINATION "${destination}"
                FILE_PERMISSIONS ${rights}
                DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
            file(GLOB_RECURSE binaries "${target}/*.so")
        else()
            file(INSTALL "${source}" DESTINATION "${destination}" RENAME "${name}"
                FILE_PERMISSIONS ${rights})
            set(binaries "${target}")
        endif()
        if(CMAKE_INSTALL_DO_STRIP AND lumidor_strip_tool AND NOT mode STREQUAL "text")
            foreach(binary IN LISTS binaries)
                if(binary MATCHES "\\.(so|clap)$")
                    execute_process(COMMAND "${lumidor_strip_tool}" --strip-unneeded "${binary}" COMMAND_ERROR_IS_FATAL ANY)
                else()
                    execute_process(COMMAND "${lumidor_strip_tool}" "${binary}" COMMAND_ERROR_IS_FATAL ANY)
                endif()
            endforeach()
        endif()
        set(lumidor_installed "${destination}/${name}" PARENT_SCOPE)
    endfunction()

    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
        set(lumidor_system FALSE)
        lumidor_user_folder(LXVST_PATH .lxvst vst2_folder)
        lumidor_user_folder(VST3_PATH .vst3 vst3_folder)
        lumidor_user_folder(LV2_PATH .lv2 lv2_folder)
        lumidor_user_folder(CLAP_PATH .clap clap_folder)
    else()
        set(lumidor_system TRUE)
        set(vst2_folder "${CMAKE_INSTALL_PREFIX}/lib/lxvst")
        set(vst3_folder "${CMAKE_INSTALL_PREFIX}/lib/vst3")
        set(lv2_folder "${CMAKE_INSTALL_PREFIX}/lib/lv2")
        set(clap_folder "${CMAKE_INSTALL_PREFIX}/lib/clap")
    endif()

    set(lumidor_report "")
    lumidor_install("${lumidor_vst2_module}" "${vst2_folder}" data)
    string(APPEND lumidor_report "Installed VST 2: ${lumidor_installed}\n")
    if(lumidor_vst3_bundle)
        lumidor_install("${lumidor_vst3_bundle}" "${vst3_folder}" data)
        string(APPEND lumidor_report "Installed VST3: ${lumidor_installed}\n")
    endif()
    if(lumidor_lv2_bundle)
        lumidor_install("${lumidor_lv2_bundle}" "${lv2_folder}" data)
        string(APPEND lumidor_report "Installed LV2: ${lumidor_installed}\n")
    endif()
    lumidor_install("${lumidor_clap_module}" "${clap_folder}" data)
    string(APPEND lumidor_report "Installed CLAP: ${lumidor_installed}\n")

    if(lumidor_system)
        set(bin "${CMAKE_INSTALL_PREFIX}/bin")
        set(share "${CMAKE_INSTALL_PREFIX}/share")
        lumidor_install("${lumidor_host}" "${bin}" program)
        string(APPEND lumidor_report "Installed the command-line host: ${lumidor_installed}\n")
        if(lumidor_standalone)
            lumidor_install("${lumidor_standalone}" "${bin}" program NAME lumidor)
            string(APPEND lumidor_report "Installed the standalone app: ${lumidor_installed}\n")
        endif()
        lumidor_install("${lumidor_source_dir}/presets/factory.fxb" "${share}/lumidor/presets" text)
        lumidor_install("${lumidor_source_dir}/presets/README.md" "${share}/lumidor/presets" text)
        string(APPEND lumidor_report "Installed the factory bank: ${share}/lumidor/presets\n")
        set(doc "${share}/doc/lumidor")
        lumidor_install("${lumidor_source_dir}/README.md" "${doc}" text)
        lumidor_install("${lumidor_source_dir}/formats/README.md" "${doc}" text NAME formats.md)
        # Debian's name for the licence of a package.
        lumidor_install("${lumidor_source_dir}/LICENSE" "${doc}" text NAME copyright)
        string(APPEND lumidor_report "Installed the documents: ${doc}\n")
    endif()
    # One block at the end, after the file-by-file lines.
    string(REGEX REPLACE "\n$" "" lumidor_report "${lumidor_report}")
    string(REPLACE "\n" ";" lumidor_report "${lumidor_report}")
    foreach(line IN LISTS lumidor_report)
        message(STATUS "${line}")
    endforeach()
]])

# The Debian package: `cpack -G DEB` in the build folder makes
# lumidor_<version>_<arch>.deb from the install above with the prefix /usr,
# for the architecture the build is for (arm64 in the cross build, where
# CPack would otherwise take the build machine's).
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${LUMIDOR_DEB_ARCH})
set(CPACK_PACKAGE_NAME lumidor)
set(CPACK_PACKAGE_VENDOR Velderane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo algorithmic reverb plug-in (VST 2, VST3, LV2, CLAP, standalone)")
set(LUMIDOR_PACKAGE_MAINTAINER "Velderane <lumidor@velderane.invalid>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMIDOR_PACKAGE_MAINTAINER}")
# The long description, below the summary line (CPack indents it).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumidor is a stereo reverb for mixing: a short pre-delay, an early field and
a late field built from all-pass diffusers, a listener position between them,
and a dry/wet mix with an output volume of -12 to +12 dB.

This package holds the VST 2 module (/usr/lib/lxvst), the VST3 and LV2
bundles (/usr/lib/vst3, /usr/lib/lv2), the CLAP module (/usr/lib/clap), the
standalone app lumidor, the command-line host lumidor-host and the factory
bank of 26 programs.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies from the shared libraries the binaries link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
