#include "ImpulseAnalysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr double pi = 3.14159265358979323846;
/** Bands whose upper edge lies above this share of the sample rate are left out. */
constexpr double highestBandShare = 0.45;
/** The curve's floor, in dB, so silence stays a finite number. */
constexpr float floorDb = -300.0f;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

/** RBJ band-pass with 0 dB gain at the centre and a bandwidth of one octave. */
void bandPassInPlace (std::vector<double>& x, double sampleRate, double centre)
{
    const double w0 = 2.0 * pi * centre / sampleRate;
    const double alpha = std::sin (w0) * std::sinh (std::log (2.0) / 2.0 * 1.0 * w0 / std::sin (w0));
    const double a0 = 1.0 + alpha;
    const double b0 = alpha / a0, b2 = -alpha / a0;
    const double a1 = -2.0 * std::cos (w0) / a0, a2 = (1.0 - alpha) / a0;

    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (auto& v : x)
    {
        const double y = b0 * v + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = v;
        y2 = y1;
        y1 = y;
        v = y;
    }
}
}

ImpulseAnalysis::ImpulseAnalysis (const std::vector<float>& response, double sampleRate)
    : rate (sampleRate)
{
    const std::vector<double> whole (response.begin(), response.end());
    Band broadband { 0.0, "all", decayCurve (whole), {} };
    broadband.figures = figuresOf (broadband.decayDb, rate);
    results.push_back (std::move (broadband));

    for (double centre : octaveCentres)
    {
        if (centre * std::sqrt (2.0) > highestBandShare * rate)
            break;
        Band band { centre, centre >= 1000.0 ? std::to_string ((int) (centre / 1000.0)) + " kHz"
                                             : std::to_string ((int) centre) + " Hz",
                    decayCurve (octaveBand (response, rate, centre)), {} };
        band.figures = figuresOf (band.decayDb, rate);
        results.push_back (std::move (band));
    }
}

std::vector<float> ImpulseAnalysis::decayCurve (const std::vector<double>& signal)
{
    std::vector<double> energy (signal.size());
    double sum = 0.0;
    for (size_t i = signal.size(); i-- > 0;)
    {
        sum += signal[i] * signal[i];
        energy[i] = sum;
    }

    std::vector<float> db (signal.size(), floorDb);
    const double total = energy.empty() ? 0.0 : energy[0];
    if (! (total > 0.0) || ! std::isfinite (total))
        return db;
    for (size_t i = 0; i < signal.size(); ++i)
        db[i] = energy[i] > 0.0 ? std::max (floorDb, (float) (10.0 * std::log10 (energy[i] / total))) : floorDb;
    return db;
}

double ImpulseAnalysis::fitDecay (const std::vector<float>& decayDb, double sampleRate, double startDb, double endDb)
{
    const size_t usable = decayDb.size();
    size_t first = 0;
    while (first < usable && decayDb[first] > startDb)
        ++first;
    size_t last = first;
    while (last < usable && decayDb[last] > endDb)
        ++last;
    if (last >= usable || last <= first + 1)
        return notANumber;

    // Least squares of dB over seconds.
    const double n = (double) (last - first + 1);
    double st = 0.0, sd = 0.0, stt = 0.0, std_ = 0.0;
    for (size_t i = first; i <= last; ++i)
    {
        const double t = (double) i / sampleRate;
        const double d = decayDb[i];
        st += t;
        sd += d;
        stt += t * t;
        std_ += t * d;
    }
    const double slope = (n * std_ - st * sd) / (n * stt - st * st);
    if (! (slope < 0.0))
        return notANumber;
    // The end of the recording pulls the integral down before it: the fit is
    // trusted only when a quarter of the decay time is left after its range,
    // which keeps that error under 0.2 dB.
    const double rt60 = -60.0 / slope;
    const double after = (double) (decayDb.size() - last) / sampleRate;
    return after >= 0.25 * rt60 ? rt60 : notANumber;
}

std::vector<double> ImpulseAnalysis::octaveBand (const std::vector<float>& signal, double sampleRate, double centre)
{
    std::vector<double> x (signal.rbegin(), signal.rend());
    bandPassInPlace (x, sampleRate, centre);
    bandPassInPlace (x, sampleRate, centre);
    std::reverse (x.begin(), x.end());
    return x;
}

ImpulseAnalysis::Figures ImpulseAnalysis::figuresOf (const std::vector<float>& decayDb, double sampleRate)
{
    // The early decay time as six times the time to the first -10 dB: a fit
    // from 0 dB would be bent by the step a strong direct sound leaves at 0.
    Figures f { notANumber, "", notANumber };
    for (size_t i = 0; i < decayDb.size(); ++i)
        if (decayDb[i] <= -10.0f)
        {
            f.edt = 6.0 * (double) i / sampleRate;
            break;
        }

    f.rt60 = fitDecay (decayDb, sampleRate, -5.0, -35.0);
    if (std::isfinite (f.rt60))
        f.rtSource = "T30";
    else
    {
        f.rt60 = fitDecay (decayDb, sampleRate, -5.0, -25.0);
        if (std::isfinite (f.rt60))
            f.rtSource = "T20";
    }
    return f;
}
