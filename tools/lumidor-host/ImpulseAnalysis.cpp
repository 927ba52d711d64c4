#include "ImpulseAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace
{
constexpr double pi = 3.14159265358979323846;
/** Bands whose upper edge lies above this share of the sample rate are left out. */
constexpr double highestBandShare = 0.45;
/** The curve's floor, in dB, so silence stays a finite number. */
constexpr float floorDb = -300.0f;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

/** One second-order section, b0 (1 - z^-2) over 1 + a1 z^-1 + a2 z^-2. */
struct Section
{
    double gain, a1, a2;
};

/** The third-order Butterworth band-pass from fc / sqrt 2 to fc * sqrt 2, by
    the bilinear transform with both edges prewarped, as three sections with
    unit gain at the centre. */
std::array<Section, 3> octaveSections (double sampleRate, double centre)
{
    const double k = 2.0 * sampleRate;
    const double low = k * std::tan (pi * centre / std::sqrt (2.0) / sampleRate);
    const double high = k * std::tan (pi * centre * std::sqrt (2.0) / sampleRate);
    const double w0 = std::sqrt (low * high), bandwidth = high - low;

    // The low-pass prototype's poles in the upper half plane; each maps to
    // two band-pass poles, of which those in the upper half plane are taken
    // (their conjugates complete the sections).
    std::vector<std::complex<double>> analogPoles;
    for (const auto p : { std::polar (1.0, 2.0 * pi / 3.0), std::complex<double> (-1.0, 0.0) })
    {
        const auto root = std::sqrt (p * p * bandwidth * bandwidth - 4.0 * w0 * w0);
        for (const auto s : { (p * bandwidth + root) / 2.0, (p * bandwidth - root) / 2.0 })
            if (p.imag() > 0.0 || s.imag() > 0.0)
                analogPoles.push_back (s.imag() >= 0.0 ? s : std::conj (s));
    }

    std::array<Section, 3> sections {};
    const auto atCentre = std::polar (1.0, -2.0 * std::atan (w0 / k));
    double magnitude = 1.0;
    for (size_t i = 0; i < sections.size(); ++i)
    {
        const auto z = (k + analogPoles[i]) / (k - analogPoles[i]);
        sections[i] = { 1.0, -2.0 * z.real(), std::norm (z) };
        magnitude *= std::abs ((1.0 - atCentre * atCentre)
                               / (1.0 + sections[i].a1 * atCentre + sections[i].a2 * atCentre * atCentre));
    }
    for (auto& s : sections)
        s.gain = std::cbrt (1.0 / magnitude);
    return sections;
}

/** Fills in RT60 and its source from the fits already set. */
ImpulseAnalysis::Figures withRt60 (ImpulseAnalysis::Figures f)
{
    f.rt60 = std::isfinite (f.t30) ? f.t30 : f.t20;
    f.rtSource = std::isfinite (f.t30) ? "T30" : std::isfinite (f.t20) ? "T20" : "";
    return f;
}

double meanOf (double a, double b) { return std::isfinite (a) && std::isfinite (b) ? 0.5 * (a + b) : notANumber; }

std::string bandLabel (double centre)
{
    return centre >= 1000.0 ? std::to_string ((int) (centre / 1000.0)) + " kHz" : std::to_string ((int) centre) + " Hz";
}
}

ImpulseAnalysis::ImpulseAnalysis (const std::vector<float>& left, const std::vector<float>& right, double sampleRate)
    : rate (sampleRate)
    , length ((double) left.size() / sampleRate)
{
    std::vector<double> centres { 0.0 };
    for (double centre : octaveCentres)
        if (centre * std::sqrt (2.0) <= highestBandShare * rate)
            centres.push_back (centre);
    for (double centre : centres)
        results.push_back ({ centre, centre == 0.0 ? "all" : bandLabel (centre), {}, {} });

    double latest = 0.0;
    for (size_t c = 0; c < 2; ++c)
    {
        const auto& response = c == 0 ? left : right;
        const std::vector<double> whole (response.begin(), response.end());
        const size_t onset = onsetOf (whole);
        onsets[c] = (double) onset / rate;
        for (auto& band : results)
            band.channels[c] =
                analyse (band.centre == 0.0 ? whole : octaveBand (whole, rate, band.centre), onset, latest);
    }
    needed = latest;

    for (auto& band : results)
    {
        const auto& l = band.channels[0].figures;
        const auto& r = band.channels[1].figures;
        band.figures.edt = meanOf (l.edt, r.edt);
        band.figures.t20 = meanOf (l.t20, r.t20);
        band.figures.t30 = meanOf (l.t30, r.t30);
        band.figures = withRt60 (band.figures);
    }
}

void ImpulseAnalysis::recordAsTheDecayNeeds (const std::vector<float>& left, const std::vector<float>& right,
                                             double sampleRate, double capSeconds,
                                             const std::function<void (size_t frames)>& record)
{
    double seconds = probeSeconds;
    record ((size_t) std::llround (seconds * sampleRate));
    for (int step = 0; step < lengthSteps && seconds < capSeconds; ++step)
    {
        // Where some band has no trusted line yet, its decay cannot be
        // told: a longer recording shows more of it.
        const double needed = ImpulseAnalysis (left, right, sampleRate).secondsNeeded();
        const double wanted = std::isfinite (needed) ? needed * lengthHeadroom : 4.0 * seconds;
        if (wanted <= seconds)
            break;
        seconds = std::min (capSeconds, wanted);
        record ((size_t) std::llround (seconds * sampleRate));
    }
}

ImpulseAnalysis::Channel ImpulseAnalysis::analyse (std::vector<double> signal, size_t onset, double& latestNeeded) const
{
    const size_t frames = signal.size();
    signal.erase (signal.begin(), signal.begin() + (long) std::min (onset, frames));
    const auto curve = decayCurve (signal);

    Channel channel;
    const Fit edt = fitDecay (curve, rate, 0.0, -10.0);
    const Fit t20 = fitDecay (curve, rate, -5.0, -25.0);
    const Fit t30 = fitDecay (curve, rate, -5.0, -35.0);
    channel.figures.edt = edt.seconds;
    channel.figures.t20 = t20.seconds;
    channel.figures.t30 = t30.seconds;
    channel.figures = withRt60 (channel.figures);

    // The best trusted line says when this band would have fallen 60 dB.
    const bool silent = curve.empty() || curve[0] == floorDb;
    if (! silent && std::isfinite (latestNeeded))
    {
        const Fit* best = std::isfinite (t30.seconds)   ? &t30
                          : std::isfinite (t20.seconds) ? &t20
                          : std::isfinite (edt.seconds) ? &edt
                                                        : nullptr;
        latestNeeded = best == nullptr
                           ? notANumber
                           : std::max (latestNeeded, (double) onset / rate + (-60.0 - best->startDb) / best->slope);
    }

    const auto points = (size_t) std::ceil ((double) frames / rate * curveRate);
    channel.decayDb.resize (points, 0.0f);
    for (size_t p = 0; p < points; ++p)
    {
        const auto i = (size_t) ((double) p / curveRate * rate);
        if (i >= onset && i - onset < curve.size())
            channel.decayDb[p] = curve[i - onset];
    }
    return channel;
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

ImpulseAnalysis::Fit ImpulseAnalysis::fitDecay (const std::vector<float>& decayDb, double sampleRate, double startDb,
                                                double endDb)
{
    Fit fit { notANumber, notANumber, notANumber };
    const size_t usable = decayDb.size();
    size_t first = 0;
    while (first < usable && decayDb[first] > startDb)
        ++first;
    size_t last = first;
    while (last < usable && decayDb[last] > endDb)
        ++last;
    // Two points make a line: a direct sound that takes the whole range in
    // one step gives a decay time of about 0, as the definition has it.
    if (last >= usable || last <= first)
        return fit;

    // Least squares of dB over seconds, about the range's middle for precision.
    const double n = (double) (last - first + 1);
    const double middle = 0.5 * (double) (first + last) / sampleRate;
    double sd = 0.0, stt = 0.0, std_ = 0.0;
    for (size_t i = first; i <= last; ++i)
    {
        const double t = (double) i / sampleRate - middle;
        sd += decayDb[i];
        stt += t * t;
        std_ += t * decayDb[i];
    }
    const double slope = std_ / stt;
    if (! (slope < 0.0))
        return fit;
    fit.slope = slope;
    fit.startDb = sd / n - slope * middle;

    // The floor: the energy of the last stretch (the curve's value where it
    // begins) carried on at the fitted rate beyond the end of the recording.
    const auto window = std::min (usable - 1, (size_t) std::llround (floorWindowSeconds * sampleRate));
    const double windowLevel = decayDb[usable - 1 - window];
    const double timeConstant = -10.0 / (slope * std::log (10.0));
    const double floor = windowLevel - 10.0 * std::log10 (std::expm1 ((double) window / sampleRate / timeConstant));
    if (windowLevel <= floorDb || endDb - floor >= floorMarginDb)
        fit.seconds = -60.0 / slope;
    return fit;
}

std::vector<double> ImpulseAnalysis::octaveBand (const std::vector<double>& signal, double sampleRate, double centre)
{
    std::vector<double> x (signal);
    for (const auto& s : octaveSections (sampleRate, centre))
    {
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        for (auto& v : x)
        {
            const double y = s.gain * (v - x2) - s.a1 * y1 - s.a2 * y2;
            x2 = x1;
            x1 = v;
            y2 = y1;
            y1 = y;
            v = y;
        }
    }
    return x;
}

size_t ImpulseAnalysis::onsetOf (const std::vector<double>& signal)
{
    double peak = 0.0;
    for (double v : signal)
        peak = std::max (peak, v * v);
    if (! (peak > 0.0) || ! std::isfinite (peak))
        return 0;
    const double threshold = peak * std::pow (10.0, -onsetBelowPeakDb / 10.0);
    size_t i = 0;
    while (signal[i] * signal[i] < threshold)
        ++i;
    return i;
}
