# The demo's settings, read by demo.sh and by the bit check
# (tests/bits/check-bits.sh), which renders them on every architecture.
# name | seconds of tail after the phrase | seconds of impulse response | parameters
# shellcheck disable=SC2034 # used by the scripts that source this file
demo_settings=(
    "default|3|4|"
    "bright-room|2|3|--param EarlySize=0.3 --param LateSize=0.2 --param Decay=0.35 --param Diffusion=0.8 --param Listener=0.3 --param Dry-Wet=0.35"
    "dark-hall|7|10|--param EarlySize=0.8 --param LateSize=0.85 --param Decay=0.65 --param Diffusion=0.6 --param Listener=0.75 --param Dry-Wet=0.45"
)
