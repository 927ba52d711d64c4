#pragma once

#include <string>
#include <vector>

/** Room-acoustic figures of an impulse response: the energy decay curve by
    Schroeder's backward integration, RT60 from the T30 fit (-5 to -35 dB)
    or, when the curve does not fall that far, from the T20 fit (-5 to
    -25 dB), and the early decay time (six times the time to fall the first
    10 dB), for the whole band and
    for octave bands from 125 Hz to 8 kHz. */
class ImpulseAnalysis
{
public:
    struct Figures
    {
        /** Seconds; NaN when the curve does not fall far enough. */
        double rt60;
        /** "T30", "T20" or "" when neither fit range is reached. */
        std::string rtSource;
        double edt;
    };

    struct Band
    {
        /** Centre frequency in Hz; 0 for the whole band. */
        double centre;
        std::string label;
        /** Energy decay curve in dB, 0 dB at time 0, one value per sample. */
        std::vector<float> decayDb;
        Figures figures;
    };

    /** `response` is one channel of the impulse response at `sampleRate` Hz. */
    ImpulseAnalysis (const std::vector<float>& response, double sampleRate);

    double sampleRate() const noexcept { return rate; }
    /** The whole band first, then the octave bands below 0.45 times the sample rate. */
    const std::vector<Band>& bands() const noexcept { return results; }

    /** Schroeder's backward integral of the squared signal, in dB re its start. */
    static std::vector<float> decayCurve (const std::vector<double>& signal);
    /** Fits the decay between `startDb` and `endDb` (both negative) by least
        squares and returns the time to fall 60 dB, or NaN when the curve does
        not reach `endDb` early enough: a quarter of the result must remain
        after it, since the end of the recording bends the curve down. */
    static double fitDecay (const std::vector<float>& decayDb, double sampleRate, double startDb, double endDb);
    /** Octave band-pass: two second-order band-pass sections in cascade, run
        over the time-reversed signal so the filters' own ringing falls before
        the onset rather than into the decay. */
    static std::vector<double> octaveBand (const std::vector<float>& signal, double sampleRate, double centre);

    static constexpr double octaveCentres[] = { 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0 };

private:
    static Figures figuresOf (const std::vector<float>& decayDb, double sampleRate);

    double rate;
    std::vector<Band> results;
};
