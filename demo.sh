#!/usr/bin/env bash
# Installs what is missing, builds the plug-in in every format (VST 2, VST3,
# LV2, CLAP and the standalone app) and the command-line host in Release,
# installs the plug-ins where Linux hosts look for them, and renders a
# generated phrase through three settings, with a picture of each impulse
# response. It configures without the tests and benchmarks, so nothing that
# only they need is looked for.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLUMIDOR_TESTS=OFF -DLUMIDOR_BENCH=OFF >/dev/null
cmake --build build -j2 --target lumidor_installables
install_log=$(cmake --install build)

# The install step names where each format went.
installed=$(sed -n 's/^-- Installed //p' <<<"$install_log")
module=$(sed -n 's/^VST 2: //p' <<<"$installed")
host=build/lumidor-host

mkdir -p demo
"$host" make-demo-phrase demo/dry.wav >/dev/null

source scripts/demo-settings.sh

echo
sed 's/^/Lumidor /' <<<"$installed"
echo "dry phrase: demo/dry.wav"
for entry in "${demo_settings[@]}"; do
    IFS='|' read -r name tail ir_seconds params <<<"$entry"
    # shellcheck disable=SC2086 # the parameters are separate words
    "$host" render "$module" demo/dry.wav "demo/$name.wav" --tail "$tail" $params >/dev/null
    # shellcheck disable=SC2086
    report=$("$host" ir "$module" "demo/$name-ir.png" --seconds "$ir_seconds" $params)
    rt60=$(awk '$1 == "all" { print $2 " s (" $3 ")" }' <<<"$report")
    low=$(awk '$1 == "125" { print $3 }' <<<"$report")
    high=$(awk '$1 == "8" { print $3 }' <<<"$report")
    printf '%-12s demo/%s.wav, demo/%s-ir.png   RT60 %s; %s s at 125 Hz, %s s at 8 kHz\n' \
        "$name" "$name" "$name" "$rt60" "$low" "$high"
done
# One program of the factory bank, loaded from the bank file as a user would.
"$host" render "$module" demo/dry.wav demo/factory-concert-hall.wav --tail 4 \
    --preset presets/factory.fxb --program 14 >/dev/null
printf '%-12s demo/factory-concert-hall.wav   program 14 of presets/factory.fxb (see presets/README.md)\n' "factory"
echo
echo "Listen with any player, for example: aplay demo/dark-hall.wav"
