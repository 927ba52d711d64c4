#!/usr/bin/python3
"""Checks the decay times of `lumidor-host ir` against an analysis written
here from the textbook definitions with numpy and scipy, on synthetic stereo
responses whose decays are known: noise under exponential envelopes, with a
direct impulse, a pre-delay, a slow build-up and a double slope.

The responses reach the tool through a module that plays them back
(PlaybackModule.cpp). For every band and channel the tool's EDT, T20 and T30
must lie within 3 % of this analysis of the recording the tool made (its
--wav output), and n/a exactly where this analysis finds the fit's end too
near the recording's floor. Figures the tool trusts from a cut-short
recording must also lie within 3 % of those of the uncut response.

usage: ir_reference.py LUMIDOR_HOST PLAYBACK_MODULE
Needs Debian's python3-numpy and python3-scipy (scripts/setup.sh).
"""
import math
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy import signal
from scipy.io import wavfile

TOLERANCE = 0.03
# How near the reference's T30 of an uncut response comes to the decay it was
# built with: noise leaves a little scatter.
KNOWN_TOLERANCE = 0.04
CENTRES = [125, 250, 500, 1000, 2000, 4000, 8000]
# The stated rule: a fit's end level at least 20 dB above where the decay
# curve would still stand at the end of the recording. Fits within this much
# of the margin may go either way.
MARGIN_DB = 20.0
UNDECIDED_DB = 2.0
FLOOR_WINDOW = 0.1
FITS = {"EDT": (0.0, -10.0), "T20": (-5.0, -25.0), "T30": (-5.0, -35.0)}


def noise_decay(rng, rate, seconds, rt60, start, colour=None):
    """Gaussian noise from `start` seconds on, its energy falling 60 dB in rt60 s."""
    t = np.arange(int(seconds * rate)) / rate
    x = rng.standard_normal(t.size)
    if colour is not None:
        x = signal.sosfilt(colour, x)
    envelope = np.where(t >= start, 10.0 ** (-3.0 * (t - start) / rt60), 0.0)
    return x * envelope


def synthetic_cases(rng):
    """name, rate, left, right, --seconds (None: the tool chooses), band figures it must match roughly."""
    cases = []

    rate = 44100
    low = signal.butter(2, 800, "lowpass", fs=rate, output="sos")
    high = signal.butter(2, 800, "highpass", fs=rate, output="sos")
    channels = []
    for direct, low_rt, high_rt in ((1.0, 1.6, 0.9), (0.7, 5.0, 2.0)):
        x = 0.01 * (noise_decay(rng, rate, 14.0, low_rt, 0.012, low) + noise_decay(rng, rate, 14.0, high_rt, 0.012, high))
        x[0] += direct
        channels.append(x)
    # Where one colour dominates: the low bands' few degrees of freedom and
    # the crossover's leakage leave the others several per cent off.
    known = {8000: (0.9, 2.0)}
    cases.append(("two colours and a direct sound, length chosen", rate, channels[0], channels[1], None, known))

    rate = 48000
    left = 0.05 * noise_decay(rng, rate, 10.0, 5.0, 0.0)
    right = 0.05 * noise_decay(rng, rate, 10.0, 2.5, 0.0)
    left[0] += 0.3
    cases.append(("cut short at 3 s", rate, left, right, 3.0, {c: (5.0, 2.5) for c in [0] + CENTRES}))

    # A pre-delay, a 60 ms build-up and a fast early slope over a slow one:
    # the early decay time differs from the reverberation time.
    rate = 44100
    t = np.arange(int(8.0 * rate)) / rate
    channels = []
    for early_rt, late_rt in ((0.4, 1.8), (0.5, 2.4)):
        after = np.clip(t - 0.04, 0.0, None)
        envelope = np.where(t >= 0.04, np.minimum(1.0, after / 0.06), 0.0) * np.sqrt(
            10.0 ** (-6.0 * after / early_rt) + 0.03 * 10.0 ** (-6.0 * after / late_rt))
        channels.append(0.1 * envelope * rng.standard_normal(t.size))
    cases.append(("pre-delay, build-up and two slopes", rate, channels[0], channels[1], 6.0, {}))
    return cases


def onset(x):
    power = x * x
    return int(np.argmax(power >= power.max() * 10.0 ** (-20.0 / 10.0))) if power.max() > 0 else 0


def octave(x, rate, centre):
    sos = signal.butter(3, [centre / math.sqrt(2.0), centre * math.sqrt(2.0)], "bandpass", fs=rate, output="sos")
    return signal.sosfilt(sos, x)


def schroeder_db(x):
    energy = np.cumsum((x * x)[::-1])[::-1]
    with np.errstate(divide="ignore"):
        return 10.0 * np.log10(energy / energy[0])


def fit(curve, rate, start_db, end_db):
    """(seconds, margin above the floor in dB) or (None, None) when the curve does not reach the range."""
    below_start = np.nonzero(curve <= start_db)[0]
    if below_start.size == 0:
        return None, None
    first = below_start[0]
    below_end = np.nonzero(curve[first:] <= end_db)[0]
    if below_end.size == 0 or below_end[0] < 1:
        return None, None
    last = first + below_end[0]
    slope, _ = np.polyfit(np.arange(first, last + 1) / rate, curve[first:last + 1], 1)
    if slope >= 0:
        return None, None
    window = min(len(curve) - 1, round(FLOOR_WINDOW * rate))
    window_db = curve[len(curve) - 1 - window]
    if not np.isfinite(window_db):
        return -60.0 / slope, math.inf
    tau = -10.0 / (slope * math.log(10.0))
    floor = window_db - 10.0 * math.log10(math.expm1(window / rate / tau))
    return -60.0 / slope, end_db - floor


def analyse(x, rate):
    """{band: {fit name: (seconds, margin)}}, band 0 being the whole band."""
    start = onset(x)
    result = {}
    for centre in [0] + [c for c in CENTRES if c * math.sqrt(2.0) <= 0.45 * rate]:
        band = x if centre == 0 else octave(x, rate, centre)
        curve = schroeder_db(band[start:])
        result[centre] = {name: fit(curve, rate, *levels) for name, levels in FITS.items()}
    return result


def run_tool(host, module, name, rate, left, right, seconds, folder):
    raw = os.path.join(folder, "response.f32")
    np.stack([left, right], axis=1).astype("<f4").tofile(raw)
    wav = os.path.join(folder, "ir.wav")
    command = [host, "ir", module, os.path.join(folder, "ir.png"), "--wav", wav, "--rate", str(rate)]
    if seconds is not None:
        command += ["--seconds", str(seconds)]
    done = subprocess.run(command, env=dict(os.environ, LUMIDOR_PLAYBACK_RESPONSE=raw), capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"{name}: lumidor-host ir failed ({done.returncode}):\n{done.stdout}{done.stderr}")
    _, recorded = wavfile.read(wav)
    return parse_report(done.stdout), recorded.astype(np.float64)


def parse_report(text):
    """{band: {"mean": (RT60, from, EDT), 0: {fit: s}, 1: {fit: s}}} from the report's table."""
    rows = {}
    lines = text.splitlines()
    header = next(i for i, line in enumerate(lines) if line.split()[:3] == ["band", "RT60", "from"])
    for line in lines[header + 1:]:
        words = line.split()
        if not words:
            break
        label, values = (words[0], words[1:]) if words[0] == "all" else (words[0] + " " + words[1], words[2:])
        centre = 0 if label == "all" else int(float(label.split()[0]) * (1000 if "kHz" in label else 1))
        number = lambda w: None if w == "n/a" else float(w)
        rows[centre] = {"mean": (number(values[0]), values[1], number(values[2]))}
        for c in (0, 1):
            t20, t30, edt = (number(w) for w in values[3 + 3 * c:6 + 3 * c])
            rows[centre][c] = {"T20": t20, "T30": t30, "EDT": edt}
    return rows


def close(a, b):
    return abs(a - b) <= TOLERANCE * b


def main():
    host, module = sys.argv[1:3]
    rng = np.random.default_rng(20240611)
    faults, compared, deviations = [], 0, []
    for name, rate, left, right, seconds, known in synthetic_cases(rng):
        with tempfile.TemporaryDirectory() as folder:
            report, recorded = run_tool(host, module, name, rate, left, right, seconds, folder)
        frames = recorded.shape[0]
        if not np.allclose(recorded[:, 0], left[:frames], atol=1e-6) or not np.allclose(recorded[:, 1], right[:frames], atol=1e-6):
            faults.append(f"{name}: the recording is not the response played back")
        reference = [analyse(recorded[:, c], rate) for c in (0, 1)]
        uncut = [analyse(x, rate) for x in (left, right)]
        unavailable = sum(v is None for band in report.values() for c in (0, 1) for v in band[c].values())
        print(f"{name}: {frames / rate:.2f} s at {rate} Hz, {unavailable} of {6 * len(report)} figures n/a")
        if sorted(report) != sorted(reference[0]):
            faults.append(f"{name}: bands {sorted(report)}, expected {sorted(reference[0])}")
            continue
        for centre in sorted(report):
            means = {}
            for c in (0, 1):
                for fit_name in FITS:
                    tool = report[centre][c][fit_name]
                    seconds_ref, margin = reference[c][centre][fit_name]
                    where = f"{name}, {'all' if centre == 0 else centre}, {'left' if c == 0 else 'right'}, {fit_name}"
                    decided = margin is None or abs(margin - MARGIN_DB) > UNDECIDED_DB
                    trusted = margin is not None and margin >= MARGIN_DB
                    if decided and (tool is not None) != trusted:
                        faults.append(f"{where}: tool {tool}, reference {seconds_ref:.3f} s, {margin:.1f} dB above the floor"
                                      if margin is not None else f"{where}: tool {tool}, reference n/a")
                    if tool is not None and seconds_ref is not None:
                        compared += 1
                        deviations.append(abs(tool - seconds_ref) / seconds_ref)
                        if not close(tool, seconds_ref):
                            faults.append(f"{where}: tool {tool}, reference {seconds_ref:.3f} s")
                        full, _ = uncut[c][centre][fit_name]
                        if full is not None and not close(tool, full):
                            faults.append(f"{where}: tool {tool} trusted, the uncut response gives {full:.3f} s")
                    means.setdefault(fit_name, []).append(tool)
            # The mean columns: RT60 as T30 of both channels, else T20; EDT.
            rt, source, edt = report[centre]["mean"]
            for fit_name in ("T30", "T20"):
                if None not in means[fit_name]:
                    expected = (sum(means[fit_name]) / 2, fit_name)
                    break
            else:
                expected = (None, "-")
            if source != expected[1] or (rt is None) != (expected[0] is None) or (rt is not None and abs(rt - expected[0]) > 0.006):
                faults.append(f"{name}, {centre}: mean RT60 {rt} ({source}), expected {expected}")
            if (edt is None) != (None in means["EDT"]) or (edt is not None and abs(edt - sum(means["EDT"]) / 2) > 0.006):
                faults.append(f"{name}, {centre}: mean EDT {edt}")
            # The reference itself against the decays the responses were built with.
            for c, rt60 in enumerate(known.get(centre, ())):
                measured = uncut[c][centre]["T30"][0]
                if measured is None or abs(measured - rt60) > KNOWN_TOLERANCE * rt60:
                    faults.append(f"{name}, {centre}, channel {c}: the reference's own T30 {measured}, built with {rt60} s")
    print(f"{compared} figures compared, largest deviation {100 * max(deviations):.2f} %, mean {100 * np.mean(deviations):.2f} %")
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
