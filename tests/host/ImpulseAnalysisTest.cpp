#include "ImpulseAnalysis.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
/** Noise under an exponential envelope that falls 60 dB in `rt60` seconds. */
std::vector<float> decayingNoise (double rt60, double seconds, double rate, unsigned seed = 3)
{
    std::vector<float> x ((size_t) (seconds * rate));
    for (size_t i = 0; i < x.size(); ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const double envelope = std::pow (10.0, -3.0 * (double) i / rate / rt60);
        x[i] = (float) (envelope * ((double) (seed >> 8) / 8388608.0 - 1.0));
    }
    return x;
}

/** A decaying tone at `hz` whose energy falls 60 dB in `rt60` seconds. */
void addTone (std::vector<float>& x, double hz, double rt60, double rate)
{
    for (size_t i = 0; i < x.size(); ++i)
    {
        const double t = (double) i / rate;
        x[i] += (float) (std::pow (10.0, -3.0 * t / rt60) * std::sin (2.0 * 3.14159265358979 * hz * t));
    }
}
}

TEST (ImpulseAnalysis, EachChannelGivesItsOwnDecayAndTheDirectSoundDoesNotShortenTheEarlyDecayTime)
{
    // The left channel starts with an impulse holding as much energy as its
    // tail: a 3 dB step, which six times the time to -10 dB would read as
    // an EDT of 0.7 s; the line from 0 to -10 dB keeps it at the decay's 1.2 s.
    auto left = decayingNoise (1.2, 4.0, 44100.0);
    double tail = 0.0;
    for (float v : left)
        tail += (double) v * v;
    left[0] = (float) std::sqrt (tail);
    const ImpulseAnalysis a (left, decayingNoise (0.6, 4.0, 44100.0, 7), 44100.0);

    const auto& all = a.bands().front();
    EXPECT_EQ (all.channels[0].figures.rtSource, "T30");
    EXPECT_NEAR (all.channels[0].figures.t30, 1.2, 0.03);
    EXPECT_NEAR (all.channels[0].figures.edt, 1.2, 0.06);
    EXPECT_NEAR (all.channels[1].figures.t30, 0.6, 0.015);
    EXPECT_NEAR (all.channels[1].figures.edt, 0.6, 0.03);
    EXPECT_NEAR (all.figures.t30, 0.9, 0.03);
}

TEST (ImpulseAnalysis, TrustsOnlyFitsThatEndWellAboveWhereTheRecordingStops)
{
    // A 1 s decay cut at 0.8 s, about -48 dB: -35 dB lies too near that
    // floor, -25 dB far enough above it.
    const auto cut = decayingNoise (1.0, 0.8, 44100.0);
    const ImpulseAnalysis shortWindow (cut, cut, 44100.0);
    const auto& f = shortWindow.bands().front().channels[0].figures;
    EXPECT_TRUE (std::isnan (f.t30));
    EXPECT_NEAR (f.t20, 1.0, 0.03);
    EXPECT_EQ (shortWindow.bands().front().figures.rtSource, "T20");
    EXPECT_NEAR (shortWindow.secondsNeeded(), 1.0, 0.1);

    const auto slow = decayingNoise (20.0, 1.0, 44100.0);
    const ImpulseAnalysis tooShort (slow, slow, 44100.0);
    EXPECT_TRUE (std::isnan (tooShort.bands().front().channels[0].figures.edt));
    EXPECT_TRUE (std::isnan (tooShort.bands().front().figures.rt60));
    EXPECT_TRUE (std::isnan (tooShort.secondsNeeded()));

    const std::vector<float> quiet (44100, 0.0f);
    const ImpulseAnalysis silence (quiet, quiet, 44100.0);
    EXPECT_TRUE (std::isnan (silence.bands().front().figures.rt60));
    EXPECT_EQ (silence.secondsNeeded(), 0.0);
}

TEST (ImpulseAnalysis, OctaveBandsSeparateDecaysAtDifferentFrequencies)
{
    const double rate = 48000.0;
    std::vector<float> x ((size_t) (5.0 * rate), 0.0f);
    addTone (x, 250.0, 2.0, rate);
    addTone (x, 4000.0, 0.5, rate);
    const ImpulseAnalysis a (x, x, rate);

    ASSERT_EQ (a.bands().size(), 8u);
    EXPECT_EQ (a.bands()[2].centre, 250.0);
    EXPECT_EQ (a.bands()[6].centre, 4000.0);
    EXPECT_NEAR (a.bands()[2].figures.rt60, 2.0, 0.1);
    EXPECT_NEAR (a.bands()[6].figures.rt60, 0.5, 0.05);
}

TEST (ImpulseAnalysis, AnOctaveBandKeepsItsShareOfAnImpulseAtTimeZero)
{
    // By Parseval an impulse leaves in a band about twice its noise
    // bandwidth over the rate: 1.047 times 707 Hz for a third-order
    // Butterworth octave at 1 kHz.
    std::vector<double> impulse (44100, 0.0);
    impulse[0] = 1.0;
    double energy = 0.0;
    for (double v : ImpulseAnalysis::octaveBand (impulse, 44100.0, 1000.0))
        energy += v * v;
    EXPECT_NEAR (energy, 2.0 * 1.047 * 707.1 / 44100.0, 0.003);
}

TEST (ImpulseAnalysis, LeavesOutBandsAboveTheSampleRatesReach)
{
    const auto x = decayingNoise (0.5, 2.0, 8000.0);
    const ImpulseAnalysis a (x, x, 8000.0);
    EXPECT_EQ (a.bands().back().centre, 2000.0);
}

TEST (ImpulseAnalysis, DecayCurveStartsAtZeroDecibelsAndNeverRises)
{
    const auto db = ImpulseAnalysis::decayCurve ({ 1.0, 0.0, 0.5, -0.5, 0.0 });
    ASSERT_EQ (db.size(), 5u);
    EXPECT_FLOAT_EQ (db[0], 0.0f);
    EXPECT_NEAR (db[1], 10.0 * std::log10 (0.5 / 1.5), 1e-5);
    for (size_t i = 1; i < db.size(); ++i)
        EXPECT_LE (db[i], db[i - 1]);
    EXPECT_LT (db[4], -200.0f);
}

TEST (IrCommand, DrawsAPictureAndWritesTheResponse)
{
    ScratchFolder scratch;
    const auto r = runTool (
        { "ir", scratch.path ("ir.png"), "--wav", scratch.path ("ir.wav"), "--seconds", "3", "--param", "Dry-Wet=1" });
    ASSERT_EQ (r.status, 0) << r.output;
    EXPECT_NE (r.output.find ("RT60"), std::string::npos);
    EXPECT_NE (r.output.find ("8 kHz"), std::string::npos);

    juce::MemoryBlock png;
    ASSERT_TRUE (juce::File (scratch.path ("ir.png")).loadFileAsData (png));
    ASSERT_GT (png.getSize(), 24u);
    const auto* b = static_cast<const uint8_t*> (png.getData());
    EXPECT_EQ (std::string (b + 1, b + 4), "PNG");
    const auto be = [b] (int at)
    {
        return (b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
    };
    EXPECT_EQ (be (16), 1200);
    EXPECT_EQ (be (20), 900);

    EXPECT_GT (juce::File (scratch.path ("ir.wav")).getSize(), 3 * 44100 * 2 * 4);
}
