#!/usr/bin/env bash
# The install rules and the Debian package, from a user's side:
# 1. `cmake --install` into a scratch home folder puts the four plug-in
#    formats into ~/.lxvst, ~/.vst3, ~/.lv2 and ~/.clap and nothing else there,
#    replaces an older bundle whole, and honours LXVST_PATH, VST3_PATH,
#    LV2_PATH and CLAP_PATH (first folder); with --prefix it lays out lib/, bin/ and share/, and the
#    installed lumidor-host finds the module installed beside it.
# 2. `cpack -G DEB` makes lumidor_<version>_<arch>.deb holding exactly the
#    expected /usr paths, with its dependencies declared; <arch> is the
#    build's (arm64 for the cross build, whose programs run under qemu).
# 3. As root (or through sudo): `dpkg -i`, then lv2ls and Qtractor's scanner
#    list the plug-in and lumidor-host loads /usr/lib/lxvst/Lumidor.so;
#    `dpkg -r` leaves the system folders as they were. Whatever happens, the package is removed again on
#    exit. Skipped, with a note, when lumidor is already installed (a user's
#    own install is not touched), when root is out of reach, or when the
#    package is for another architecture.
#
# Usage: tests/package/run-package-test.sh [BUILD_FOLDER]   (default build)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
jobs=${LUMIDOR_JOBS:-2}
scratch=$(mktemp -d)
installed_package=0
sudo_cmd=()

cleanup() {
    if ((installed_package)); then
        "${sudo_cmd[@]}" dpkg --purge lumidor >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "package test: FAILED: $*" >&2
    exit 1
}

# Every file (as a sorted list of paths relative to $1) below a folder.
files_below() {
    (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}

# Compares two sorted lists: $1 what was found, $2 what was expected.
same_list() {
    local what=$1 found=$2 expected=$3
    if ! diff -u <(printf '%s\n' "$expected") <(printf '%s\n' "$found") >"$scratch/diff"; then
        cat "$scratch/diff" >&2
        fail "$what (- expected, + found)"
    fi
}

# Everything installs from the build outputs named by the build itself.
flock /tmp/lumidor-build.lock cmake --build "$build" -j"$jobs" >/dev/null
sources="$build/lumidor-install-sources.txt"
[[ -f "$sources" ]] || fail "$sources is missing: configure the build folder again"
source_of() { sed -n "s|^$1=||p" "$sources"; }
vst2=$(source_of vst2)
clap=$(source_of clap)
vst3=$(source_of vst3)
lv2=$(source_of lv2)
standalone=$(source_of standalone)
# A cross build (arm64) makes a package for its own architecture, and its
# programs run under the emulator it names.
deb_arch=$(source_of deb_arch)
read -r -a emulator <<<"$(source_of emulator)"

# The files a plug-in folder should hold after an install.
plugin_files() {
    local vst2_dir=$1 vst3_dir=$2 lv2_dir=$3 clap_dir=$4
    {
        echo "$vst2_dir/Lumidor.so"
        echo "$clap_dir/$(basename "$clap")"
        if [[ -n "$vst3" ]]; then files_below "$vst3" | sed "s|^|$vst3_dir/$(basename "$vst3")/|"; fi
        if [[ -n "$lv2" ]]; then files_below "$lv2" | sed "s|^|$lv2_dir/$(basename "$lv2")/|"; fi
    } | LC_ALL=C sort
}
# The files an install with a prefix should hold (relative to the prefix).
prefix_files() {
    {
        plugin_files lib/lxvst lib/vst3 lib/lv2 lib/clap
        echo bin/lumidor-host
        if [[ -n "$standalone" ]]; then echo bin/lumidor; fi
        printf '%s\n' share/lumidor/presets/factory.fxb share/lumidor/presets/README.md \
            share/doc/lumidor/README.md share/doc/lumidor/formats.md share/doc/lumidor/copyright
    } | LC_ALL=C sort
}

# A clean environment: no host search paths unless a case sets them.
run_install() {
    env -u LXVST_PATH -u VST3_PATH -u LV2_PATH -u CLAP_PATH -u DESTDIR "$@" >"$scratch/install.log" 2>&1 ||
        { cat "$scratch/install.log" >&2; fail "install: $*"; }
}

# 1. The install rules.
home="$scratch/home"
mkdir -p "$home"
if [[ -n "$lv2" ]]; then
    mkdir -p "$home/.lv2/$(basename "$lv2")"
    touch "$home/.lv2/$(basename "$lv2")/left-by-an-older-build.ttl"
fi
run_install HOME="$home" cmake --install "$build"
same_list "user install into ~" "$(files_below "$home")" "$(plugin_files .lxvst .vst3 .lv2 .clap)"

home="$scratch/home-paths"
mkdir -p "$home"
run_install HOME="$home" LXVST_PATH="$home/vst:$home/other" VST3_PATH=":$home/vst3" \
    LV2_PATH="$home/x:$home/y" CLAP_PATH="$home/clap:$home/other" cmake --install "$build"
same_list "install into the first folder of LXVST_PATH, VST3_PATH, LV2_PATH, CLAP_PATH" \
    "$(files_below "$home")" "$(plugin_files vst vst3 x clap)"

home="$scratch/home-prefix"
stage="$scratch/stage"
mkdir -p "$home"
run_install HOME="$home" cmake --install "$build" --prefix "$stage"
same_list "install with --prefix" "$(files_below "$stage")" "$(prefix_files)"
[[ -z "$(ls -A "$home")" ]] || fail "an install with --prefix wrote into the home folder"
for program in "$stage"/bin/*; do
    [[ -x "$program" ]] || fail "$program is not executable"
done
module_line=$("${emulator[@]}" "$stage/bin/lumidor-host" info | head -n 1)
[[ "$module_line" == "module"*" $stage/lib/lxvst/Lumidor.so" ]] ||
    fail "the installed lumidor-host does not use the module installed beside it: $module_line"

# 2. The package.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
arch=${deb_arch:-$(dpkg --print-architecture)}
deb="$scratch/cpack/lumidor_${version}_${arch}.deb"
(cd "$build" && cpack -G DEB -B "$scratch/cpack" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
[[ -f "$deb" ]] || fail "cpack made no $(basename "$deb"): $(ls "$scratch/cpack")"

package_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | LC_ALL=C sort)
expected_files=$(prefix_files | sed 's|^|usr/|')
same_list "the package's files" "$package_files" "$expected_files"
# Its folders are those of its files, and no others.
package_dirs=$(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ { print $6 }' | sed 's|^\./||; s|/$||' | LC_ALL=C sort)
expected_dirs=$(printf '%s\n' "$expected_files" | while read -r f; do
    d=$(dirname "$f")
    while [[ "$d" != . ]]; do echo "$d"; d=$(dirname "$d"); done
done | LC_ALL=C sort -u)
same_list "the package's folders" "$package_dirs" "$expected_dirs"

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == lumidor && "$(field Version)" == "$version" && "$(field Architecture)" == "$arch" ]] ||
    fail "package identity: $(field Package) $(field Version) $(field Architecture)"
[[ "$(field Section)" == sound && -n "$(field Maintainer)" && -n "$(field Description)" ]] ||
    fail "package section, maintainer or description missing"
[[ "$(field Depends)" == *libc6* && "$(field Depends)" == *libstdc++6* ]] ||
    fail "the package's dependencies were not worked out from its libraries: $(field Depends)"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/lumidor/copyright >"$scratch/copyright"
grep -q "GNU GENERAL PUBLIC LICENSE" "$scratch/copyright" ||
    fail "the package's copyright file does not hold the licence"

# 3. Installing and removing the package.
if [[ "$arch" != "$(dpkg --print-architecture)" ]]; then
    echo "package test: passed ($(basename "$deb"), $(printf '%s\n' "$expected_files" | wc -l) files); a package for another architecture is not installed here"
    exit 0
fi
if dpkg-query -W -f='${Status}' lumidor 2>/dev/null | grep -q "install ok installed"; then
    echo "package test: lumidor is installed on this system; dpkg -i and -r not tried"
    exit 0
fi
if [[ $(id -u) -ne 0 ]]; then
    if ! sudo -n true 2>/dev/null; then
        echo "package test: dpkg -i and -r not tried (they need root or sudo)"
        exit 0
    fi
    sudo_cmd=(sudo -n)
fi

system_folders=(/usr/bin /usr/lib/lxvst /usr/lib/vst3 /usr/lib/lv2 /usr/lib/clap /usr/share/lumidor /usr/share/doc/lumidor)
snapshot() { find "${system_folders[@]}" 2>/dev/null | LC_ALL=C sort || true; }
before=$(snapshot)

installed_package=1
"${sudo_cmd[@]}" dpkg -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -i"; }
same_list "dpkg -L lumidor" \
    "$(dpkg -L lumidor | sed 's|^/||' | while read -r p; do [[ -d "/$p" ]] || echo "$p"; done | LC_ALL=C sort)" \
    "$expected_files"
if [[ -n "$lv2" ]]; then
    LV2_PATH=/usr/lib/lv2 lv2ls | grep -qx "urn:velderane:lumidor" || fail "lv2ls does not list urn:velderane:lumidor"
fi
scan=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)/qtractor/qtractor_plugin_scan
if [[ -x "$scan" ]]; then
    echo "CLAP:/usr/lib/clap/Lumidor.clap" | "$scan" | grep -q "^CLAP|Lumidor|2:2|0:0|11:0|" ||
        fail "Qtractor's scanner does not list /usr/lib/clap/Lumidor.clap"
fi
/usr/bin/lumidor-host info >"$scratch/info.txt" 2>&1 || { cat "$scratch/info.txt" >&2; fail "/usr/bin/lumidor-host info"; }
head -n 1 "$scratch/info.txt" | grep -q " /usr/lib/lxvst/Lumidor.so$" ||
    fail "/usr/bin/lumidor-host does not load /usr/lib/lxvst/Lumidor.so: $(head -n 1 "$scratch/info.txt")"
grep -q "unique id     'LM__'" "$scratch/info.txt" || fail "/usr/lib/lxvst/Lumidor.so is not Lumidor"

"${sudo_cmd[@]}" dpkg -r lumidor >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -r lumidor"; }
installed_package=0
same_list "the system folders after dpkg -r" "$(snapshot)" "$before"
"${sudo_cmd[@]}" dpkg --purge lumidor >/dev/null 2>&1 || true

echo "package test: passed ($(basename "$deb"), $(printf '%s\n' "$expected_files" | wc -l) files)"
