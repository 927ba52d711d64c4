#!/usr/bin/env bash
# What the editor's scaling costs and whether it stays sharp:
#   bench/editor-cost.sh [BUILD_FOLDER, build] [repetitions, 3] [seconds, 8]
# 1. the size of every module and of the embedded artwork at 1 x, 2 x, 3 x;
# 2. an open editor at 1, 2 and 3 x (lumidor_bench_editor: the CLAP editor,
#    audio playing, automation moving the displays), the scales interleaved
#    so that a busy moment of the machine hits all alike; medians;
# 3. sharpness of `lumidor-host gui --scale 2` screenshots against the 1 x
#    screenshot enlarged: the steepest edges per editor pixel.
# Needs an X display (DISPLAY, or run under xvfb-run); fails when an open
# editor at 2 x costs more than twice its 1 x CPU.
set -euo pipefail
build=$(realpath "${1:-build}")
repetitions=${2:-3}
seconds=${3:-8}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "| module | bytes |"
echo "|---|---:|"
for m in "$build/Lumidor.so" "$build/Lumidor.clap" "$build"/Lumidor.lv2/*.so \
         "$build"/formats/lumidor_formats_artefacts/*/VST3/Lumidor.vst3/Contents/*/Lumidor.so \
         "$build"/formats/lumidor_formats_artefacts/*/Standalone/Lumidor; do
    [[ -f $m ]] && printf '| %s | %d |\n' "${m#"$build"/}" "$(stat -c %s "$m")"
done
for suffix in "" "@2x" "@3x"; do
    total=0
    for f in "$here"/../gui/images/*Image"$suffix".png; do total=$((total + $(stat -c %s "$f"))); done
    printf '| artwork%s (PNG bytes embedded) | %d |\n' "${suffix:- 1x}" "$total"
done
echo

for ((r = 0; r < repetitions; ++r)); do
    for s in 1 2 3; do
        "$build/bench/lumidor_bench_editor" "$s" "$seconds" >>"$work/runs"
    done
done
status=0
python3 - "$work/runs" <<'PY' || status=$?
import re, statistics, sys
rows = {}
for line in open(sys.argv[1]):
    m = re.match(r"scale (\S+)\s+window (\d+) x (\d+)\s+main thread (\S+) %\s+audio thread (\S+) %\s+editor memory \+(\S+) MB\s+peak (\S+) MB", line)
    if m:
        rows.setdefault(float(m.group(1)), []).append([float(v) for v in m.groups()[3:]] + [m.group(2) + " x " + m.group(3)])
print("| scale | window | main thread CPU | audio thread CPU | memory the editor adds | peak RSS |")
print("|---|---|---:|---:|---:|---:|")
medians = {}
for s in sorted(rows):
    cols = list(zip(*rows[s]))
    med = [statistics.median(c) for c in cols[:4]]
    medians[s] = med[0]
    print(f"| {s:g} x | {cols[4][0]} | {med[0]:.2f} % | {med[1]:.2f} % | {med[2]:.1f} MB | {med[3]:.1f} MB |")
ratio = medians[2.0] / medians[1.0]
print(f"\nmain thread at 2 x / 1 x: {ratio:.2f} (at most 2)")
sys.exit(0 if ratio <= 2.0 else 1)
PY

"$build/lumidor-host" gui "$work/once.png" >/dev/null
"$build/lumidor-host" gui "$work/twice.png" --scale 2 >/dev/null
python3 - "$work/once.png" "$work/twice.png" <<'PY'
import struct, sys, zlib

def read_png(path):
    data = open(path, "rb").read()
    pos, chunks = 8, {}
    idat = b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = {2: 3, 6: 4}[colour]
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([sum(line[x * channels:x * channels + 3]) / 3 for x in range(width)])
        previous = line
    return rows

def enlarged(rows):
    # The 1 x picture blown up to 2 x by linear interpolation, as a host's
    # own enlargement does it.
    h, w = len(rows), len(rows[0])
    out = []
    for y in range(2 * h):
        sy = min(max((y + 0.5) / 2 - 0.5, 0), h - 1)
        y0 = int(sy); y1 = min(y0 + 1, h - 1); fy = sy - y0
        line = []
        for x in range(2 * w):
            sx = min(max((x + 0.5) / 2 - 0.5, 0), w - 1)
            x0 = int(sx); x1 = min(x0 + 1, w - 1); fx = sx - x0
            top = rows[y0][x0] * (1 - fx) + rows[y0][x1] * fx
            bottom = rows[y1][x0] * (1 - fx) + rows[y1][x1] * fx
            line.append(top * (1 - fy) + bottom * fy)
        out.append(line)
    return out

def steepness(rows):
    # The mean of the steepest 1 % of horizontal steps between neighbouring
    # screen pixels: a sharp edge climbs within one screen pixel at any
    # scale, a blown-up one over two.
    steps = sorted(abs(r[x + 1] - r[x]) for r in rows for x in range(len(r) - 1))
    top = steps[-max(1, len(steps) // 100):]
    return sum(top) / len(top)

once, twice = read_png(sys.argv[1]), read_png(sys.argv[2])
print("\n| picture | size | steepest edges (grey levels per screen pixel) |")
print("|---|---|---:|")
print(f"| gui (1 x) | {len(once[0])} x {len(once)} | {steepness(once):.1f} |")
print(f"| gui --scale 2 | {len(twice[0])} x {len(twice)} | {steepness(twice):.1f} |")
print(f"| 1 x enlarged to 2 x | {2 * len(once[0])} x {2 * len(once)} | {steepness(enlarged(once)):.1f} |")
PY
exit $status
