#!/usr/bin/env bash
# The figures every build must reproduce bit for bit, on whatever processor
# it runs: the fingerprint of many renders through the filter
# (bench/render_fingerprint.cpp), the demo's phrase and its renders through
# the VST 2 module by lumidor-host, and a render through the LV2 bundle by
# Debian's lv2apply. The pinned figures in this folder are the amd64 build's;
# the native suite checks them, and the arm64 suite checks them again with
# every program run under qemu (the emulator is the trailing arguments).
#
# Usage: check-bits.sh FINGERPRINT LUMIDOR_HOST VST2_MODULE LV2_BUNDLE LV2APPLY [EMULATOR...]
# LUMIDOR_REPIN_BITS=1 rewrites the pinned figures instead (after a change
# that is meant to alter the sound, on amd64 only).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/demo-settings.sh"
fingerprint=$1 host=$2 module=$3 bundle=$4 lv2apply=$5
shift 5
run=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"${run[@]}" "$fingerprint" >"$work/fingerprint.txt"

"${run[@]}" "$host" make-demo-phrase "$work/dry.wav" >/dev/null
for entry in "${demo_settings[@]}"; do
    IFS='|' read -r name tail _ params <<<"$entry"
    # shellcheck disable=SC2086 # the parameters are separate words
    "${run[@]}" "$host" render "$module" "$work/dry.wav" "$work/$name.wav" --tail "$tail" $params >/dev/null
done
"${run[@]}" "$host" render "$module" "$work/dry.wav" "$work/factory-concert-hall.wav" --tail 4 \
    --preset "$here/../../presets/factory.fxb" --program 14 >/dev/null

uri=$(sed -n 's/^<\([^>]*\)>.*/\1/p' "$bundle/manifest.ttl" | head -n 1)
# lv2apply searches a folder that holds this bundle and nothing else.
mkdir "$work/lv2"
ln -s "$(cd "$bundle" && pwd)" "$work/lv2/"
LV2_PATH="$work/lv2" "${run[@]}" "$lv2apply" -c decay 0.8 -c late_size 0.7 \
    -i "$work/dry.wav" -o "$work/lv2apply.wav" "$uri" >/dev/null

# libsndfile stamps the time into lv2apply's file (its PEAK chunk): only
# the samples, after the data chunk's header, are compared.
data=$(grep -boa data "$work/lv2apply.wav" | head -n 1 | cut -d: -f1)
tail -c +$((data + 9)) "$work/lv2apply.wav" >"$work/lv2apply.samples"
rm "$work/lv2apply.wav"
(cd "$work" && sha256sum ./*.wav ./*.samples | sed 's|\./||') >"$work/renders.sha256"

if [[ "${LUMIDOR_REPIN_BITS:-0}" == 1 ]]; then
    cp "$work/fingerprint.txt" "$work/renders.sha256" "$here/"
    echo "pinned again: $here/fingerprint.txt, $here/renders.sha256"
    exit 0
fi
status=0
diff -u "$here/fingerprint.txt" "$work/fingerprint.txt" || status=1
diff -u "$here/renders.sha256" "$work/renders.sha256" || status=1
if ((status == 0)); then
    echo "same bits: $(wc -l <"$work/fingerprint.txt") fingerprint lines, $(wc -l <"$work/renders.sha256") files"
fi
exit $status
