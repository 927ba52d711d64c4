#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

/** Room-acoustic decay times of a stereo impulse response in the manner of
    ISO 3382-1, each channel on its own, for the whole band and the octave
    bands from 125 Hz to 8 kHz.

    Each channel's response starts where it first comes within 20 dB of its
    peak. The octave bands are sixth-order Butterworth band-passes (edges at
    the centre over and times the square root of two) run forwards over the
    whole recording, so the direct sound stays in every band. The energy
    decay curve is Schroeder's backward integral from the start; EDT, T20 and
    T30 are least-squares lines through it from 0 to -10 dB (times 6), -5 to
    -25 dB (times 3) and -5 to -35 dB (times 2).

    A fit is trusted only when its end level lies at least `floorMarginDb`
    above the recording's floor: the level the decay curve would still have
    at the end of the recording, from the energy of the recording's last
    `floorWindowSeconds` and the fit's own rate. Below that the missing
    tail bends the curve down and shortens the figure. */
class ImpulseAnalysis
{
    static constexpr double notANumber = __builtin_nan ("");

public:
    /** Decay times in seconds; NaN where the fit is not trusted (n/a). */
    struct Figures
    {
        double edt = notANumber;
        double t20 = notANumber;
        double t30 = notANumber;
        /** T30, else T20. */
        double rt60 = notANumber;
        /** "T30" or "T20" as rt60 was chosen, "" when neither is trusted. */
        std::string rtSource;
    };

    /** A least-squares line through a decay curve, times from its start. */
    struct Fit
    {
        /** Time to fall 60 dB at the line's slope; NaN when not trusted. */
        double seconds;
        /** The line's level at the curve's start, in dB. */
        double startDb;
        /** dB per second; NaN when the curve did not reach the range's end. */
        double slope;
    };

    struct Channel
    {
        /** Energy decay curve in dB re the energy from the start on, one
            value per 1 / curveRate seconds from the input impulse; 0 dB
            before the response starts. */
        std::vector<float> decayDb;
        Figures figures;
    };

    struct Band
    {
        /** Centre frequency in Hz; 0 for the whole band. */
        double centre;
        std::string label;
        /** Left, right. */
        std::array<Channel, 2> channels;
        /** The arithmetic mean of both channels' figures; n/a unless both have one. */
        Figures figures;
    };

    static constexpr double octaveCentres[] = { 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0 };
    /** Points per second of Channel::decayDb. */
    static constexpr double curveRate = 1000.0;
    /** How far above the floor a fit's end level must lie: keeps the missing
        tail's bias under 0.4 % for EDT and 0.2 % for T20 and T30. */
    static constexpr double floorMarginDb = 20.0;
    static constexpr double floorWindowSeconds = 0.1;
    /** Where the response starts: the first sample within this of the peak. */
    static constexpr double onsetBelowPeakDb = 20.0;

    /** `left` and `right` hold the response at `sampleRate` Hz from the input
        impulse on; both have the same length. */
    ImpulseAnalysis (const std::vector<float>& left, const std::vector<float>& right, double sampleRate);

    double sampleRate() const noexcept { return rate; }
    /** Length of the analysed response in seconds. */
    double seconds() const noexcept { return length; }
    /** Where each channel's response starts, in seconds after the input impulse. */
    double onsetSeconds (int channel) const noexcept { return onsets[(size_t) channel]; }
    /** The whole band first, then the octave bands below 0.45 times the sample rate. */
    const std::vector<Band>& bands() const noexcept { return results; }

    /** How long a recording would let every band's decay fall 60 dB, so
        that all its T30 fits are trusted: the latest time, over channels and
        bands, at which the best trusted line (T30, T20, else EDT) reaches
        -60 dB. NaN when some band with energy has no trusted line at all
        (it fell less than 10 dB with the margin); 0 for silence. */
    double secondsNeeded() const noexcept { return needed; }

    /** A recording's first length when none is given, seconds. */
    static constexpr double probeSeconds = 4.0;
    /** How far past secondsNeeded() a chosen length runs. */
    static constexpr double lengthHeadroom = 1.1;
    static constexpr int lengthSteps = 8;

    /** Records a response for as long as its decay needs: probeSeconds
        first, then on to secondsNeeded() times lengthHeadroom, four times
        as long while some band cannot be told, in at most lengthSteps steps
        and to at most `capSeconds`. `record (frames)` carries the response
        in `left` and `right` on to at least `frames` from the input impulse
        on, continuing what it recorded before. */
    static void recordAsTheDecayNeeds (const std::vector<float>& left, const std::vector<float>& right,
                                       double sampleRate, double capSeconds,
                                       const std::function<void (size_t frames)>& record);

    /** Schroeder's backward integral of the squared signal, in dB re its start. */
    static std::vector<float> decayCurve (const std::vector<double>& signal);
    /** Fits the curve between `startDb` and `endDb` (both at most 0) by least
        squares; `decayDb` starts where the response does and runs to the end
        of the recording. The fit is trusted under the floor rule above. */
    static Fit fitDecay (const std::vector<float>& decayDb, double sampleRate, double startDb, double endDb);
    /** The octave band around `centre`, filtered forwards. */
    static std::vector<double> octaveBand (const std::vector<double>& signal, double sampleRate, double centre);
    /** The first sample whose square comes within onsetBelowPeakDb of the largest; 0 for silence. */
    static size_t onsetOf (const std::vector<double>& signal);

private:
    Channel analyse (std::vector<double> signal, size_t onset, double& latestNeeded) const;

    double rate;
    double length;
    std::array<double, 2> onsets {};
    double needed = 0.0;
    std::vector<Band> results;
};
