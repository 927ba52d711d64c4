# Cross build for 64-bit ARM Linux with Debian's cross compiler
# (crossbuild-essential-arm64) and the arm64 builds of the libraries from
# Debian's multiarch packages (scripts/setup.sh --arm64 installs both).
# JUCE's sources and its build helper (juceaide, which runs on the build
# machine) come from the amd64 juce-modules-source package, as in the
# native build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Libraries and package files: only the arm64 ones. Programs (juceaide,
# pkg-config) are the build machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(JUCE_DIR "/usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5" CACHE PATH "JUCE's CMake package (architecture-independent sources)")

# Test programs run under user-mode emulation; the arm64 loader and
# libraries are installed natively (multiarch), so no -L prefix is needed.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
