#include "FactoryBank.h"

#include "ImpulseAnalysis.h"

#include <juce_core/juce_core.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace FactoryBank
{
namespace
{
constexpr double rate = 44100.0;
constexpr int blockSize = 512;
/** The recording follows each program's decay up to this, past the minute
    the `ir` command stops at: the longest programs need more. */
constexpr double longestSeconds = 120.0;
constexpr double earlyWindowSeconds = 0.080;
constexpr double densityWindowSeconds = 0.020;
constexpr double densityHopSeconds = 0.005;
constexpr double mixingSearchSeconds = 3.0;
constexpr double mixedDensity = 0.9;
/** The share of a Gaussian's samples that lie beyond one standard deviation. */
constexpr double gaussianShareBeyondSigma = 0.31731050786291415;
constexpr int dryWetIndex = 5;
constexpr size_t maxProgramNameBytes = 25;

struct Response
{
    std::vector<float> left, right, mid;
    double earlyEnergy = 0.0, lateEnergy = 0.0;
};

/** The wet impulse response, for as long as its decay needs; empty when
    the module would not open. */
Response render (VstHost& host, const std::array<float, FactoryProgram::parameterCount>& values)
{
    Response response;
    if (! host.open())
        return response;
    for (int i = 0; i < FactoryProgram::parameterCount; ++i)
        host.setParameter (i, i == dryWetIndex ? 1.0f : values[(size_t) i]);

    host.prepare (rate, blockSize);
    auto& left = response.left;
    auto& right = response.right;
    std::vector<float> in;
    // The engine has no reset, so the response grows on the one instance,
    // in whole blocks so that the steps give what one long call would.
    const auto recordTo = [&] (size_t frames)
    {
        frames = (frames + blockSize - 1) / blockSize * blockSize;
        const size_t done = left.size();
        in.assign (frames - done, 0.0f);
        if (done == 0)
            in[0] = 1.0f;
        left.resize (frames);
        right.resize (frames);
        host.processStereo (in.data(), in.data(), left.data() + done, right.data() + done, (int64_t) (frames - done));
    };
    ImpulseAnalysis::recordAsTheDecayNeeds (left, right, rate, longestSeconds, recordTo);
    host.close();

    const auto frames = left.size();
    const auto earlyFrames = (size_t) std::llround (earlyWindowSeconds * rate);
    response.mid.resize (frames);
    for (size_t i = 0; i < frames; ++i)
    {
        response.mid[i] = 0.5f * (left[i] + right[i]);
        const double energy = (double) left[i] * left[i] + (double) right[i] * right[i];
        (i < earlyFrames ? response.earlyEnergy : response.lateEnergy) += energy;
    }
    return response;
}

/** Echo density of the window of `response` that starts at `first`. */
double echoDensity (const std::vector<float>& response, size_t first, size_t count)
{
    double sum = 0.0, squares = 0.0;
    for (size_t i = first; i < first + count; ++i)
    {
        sum += response[i];
        squares += (double) response[i] * response[i];
    }
    const double n = (double) count;
    const double mean = sum / n;
    const double sigma = std::sqrt (std::max (0.0, squares / n - mean * mean));
    if (! (sigma > 0.0))
        return 0.0;
    size_t beyond = 0;
    for (size_t i = first; i < first + count; ++i)
        beyond += std::abs (response[i] - mean) > sigma ? 1 : 0;
    return (double) beyond / n / gaussianShareBeyondSigma;
}

/** The centre of the first window whose echo density reaches the
    threshold: from then on the tail sounds like noise rather than echoes.
    NaN when no window within the first 3 s does. */
double mixingTime (const std::vector<float>& response)
{
    const auto window = (size_t) std::llround (densityWindowSeconds * rate);
    const auto hop = (size_t) std::llround (densityHopSeconds * rate);
    const auto last = std::min (response.size(), (size_t) std::llround (mixingSearchSeconds * rate));
    for (size_t first = 0; first + window <= last; first += hop)
        if (echoDensity (response, first, window) >= mixedDensity)
            return ((double) first + 0.5 * (double) window) / rate;
    return std::nan ("");
}

double bandRt60 (const ImpulseAnalysis& analysis, double centre)
{
    for (const auto& band : analysis.bands())
        if (band.centre == centre)
            return band.figures.rt60;
    return std::nan ("");
}

std::string seconds (double value)
{
    if (! std::isfinite (value))
        return "n/a";
    char text[32];
    std::snprintf (text, sizeof (text), value < 10.0 ? "%.2f" : "%.1f", value);
    return text;
}

std::string fixed (double value, const char* format)
{
    if (! std::isfinite (value))
        return "n/a";
    char text[32];
    std::snprintf (text, sizeof (text), format, value);
    return text;
}
}

bool checkParameters (VstHost& host, std::string& error)
{
    if (host.numParameters() != FactoryProgram::parameterCount)
    {
        error = host.path() + " has " + std::to_string (host.numParameters()) + " parameters, not "
                + std::to_string (FactoryProgram::parameterCount);
        return false;
    }
    for (int i = 0; i < FactoryProgram::parameterCount; ++i)
        if (host.findParameter (factoryParameterNames[(size_t) i]) != i)
        {
            error = host.path() + ": parameter " + std::to_string (i) + " is \"" + host.parameterName (i) + "\", not \""
                    + factoryParameterNames[(size_t) i] + "\"";
            return false;
        }
    return true;
}

FxpFile makeBank (VstHost& host, const std::vector<FactoryProgram>& programs)
{
    for (size_t slot = 0; slot < programs.size(); ++slot)
    {
        const auto& program = programs[slot];
        host.setProgram ((int) slot);
        const auto values = program.values();
        for (int i = 0; i < FactoryProgram::parameterCount; ++i)
            host.setParameter (i, values[(size_t) i]);
        // The host side of opcode 4 hands over a buffer of the interface's
        // program-name size, whatever the name's length.
        char name[maxProgramNameBytes] = {};
        std::snprintf (name, sizeof (name), "%s", program.name);
        host.dispatch (effSetProgramName, 0, 0, name);
    }

    FxpFile file;
    file.kind = FxpFile::Kind::bank;
    file.fxID = host.descriptor()->uniqueID;
    file.fxVersion = host.descriptor()->version;
    file.numPrograms = host.numPrograms();
    file.chunk = host.getChunk (false);
    return file;
}

Figures measure (VstHost& host, const std::array<float, FactoryProgram::parameterCount>& values)
{
    const auto response = render (host, values);
    if (response.mid.empty())
    {
        // The module would not open again: nothing was measured.
        const double none = std::nan ("");
        return { none, none, none, none, none, none, none, 0.0 };
    }
    // Each channel measured on its own; the figures are the mean of both.
    const ImpulseAnalysis analysis (response.left, response.right, rate);
    const auto& whole = analysis.bands().front().figures;
    Figures f {};
    f.rt60 = whole.rt60;
    f.rt60Low = bandRt60 (analysis, 125.0);
    f.rt60Mid = bandRt60 (analysis, 1000.0);
    f.rt60High = bandRt60 (analysis, 8000.0);
    f.edt = whole.edt;
    f.c80 = response.lateEnergy > 0.0 ? 10.0 * std::log10 (response.earlyEnergy / response.lateEnergy) : std::nan ("");
    f.mixing = mixingTime (response.mid);
    f.seconds = analysis.seconds();
    return f;
}

std::string figuresTable (const std::vector<FactoryProgram>& programs, const std::vector<Figures>& figures)
{
    std::string table = "| # | program | for | RT60 s | 125 Hz / 1 kHz / 8 kHz s | EDT s | C80 dB | dense from ms "
                        "| EarlySize | LateSize | Decay | Diffusion | Listener | Dry-Wet |\n"
                        "|---:|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (size_t i = 0; i < programs.size() && i < figures.size(); ++i)
    {
        const auto& p = programs[i];
        const auto& f = figures[i];
        table += "| " + std::to_string (i) + " | " + p.name + " | " + p.use + " | " + seconds (f.rt60) + " | "
                 + seconds (f.rt60Low) + " / " + seconds (f.rt60Mid) + " / " + seconds (f.rt60High) + " | "
                 + seconds (f.edt) + " | " + fixed (f.c80, "%+.1f") + " | " + fixed (f.mixing * 1000.0, "%.0f") + " | "
                 + fixed (p.earlySize, "%.2f") + " | " + fixed (p.lateSize, "%.2f") + " | " + fixed (p.decay, "%.3f")
                 + " | " + fixed (p.diffusion, "%.2f") + " | " + fixed (p.listener, "%.2f") + " | "
                 + fixed (p.dryWet, "%.2f") + " |\n";
    }
    return table;
}

bool replaceTable (std::string& readme, const std::string& table)
{
    const auto begin = readme.find (tableBegin);
    if (begin == std::string::npos)
        return false;
    const auto contentStart = begin + std::string (tableBegin).size();
    const auto end = readme.find (tableEnd, contentStart);
    if (end == std::string::npos)
        return false;
    readme.replace (contentStart, end - contentStart, "\n" + table);
    return true;
}

bool makeBankFile (const std::string& modulePath, FxpFile& bank, std::string& error)
{
    VstHost host (modulePath);
    if (! host.open())
    {
        error = host.error();
        return false;
    }
    if (! checkParameters (host, error))
        return false;
    if ((host.descriptor()->flags & effFlagsProgramChunks) == 0)
    {
        error = modulePath + " does not keep its programs as chunks";
        return false;
    }
    const auto& programs = factoryPrograms();
    if ((int) programs.size() > host.numPrograms())
    {
        error = modulePath + " has only " + std::to_string (host.numPrograms()) + " programs";
        return false;
    }
    bank = makeBank (host, programs);
    if (bank.chunk.empty())
    {
        error = modulePath + " returned an empty bank chunk";
        return false;
    }
    return true;
}

bool make (const std::string& modulePath, Made& made, std::string& error)
{
    if (! makeBankFile (modulePath, made.bank, error))
        return false;

    VstHost host (modulePath);
    made.figures.clear();
    for (const auto& program : factoryPrograms())
        made.figures.push_back (measure (host, program.values()));
    made.table = figuresTable (factoryPrograms(), made.figures);
    return true;
}

bool isCurrent (const Made& made, const std::string& dir, std::string& error)
{
    const juce::File folder (dir);
    const auto bankFile = folder.getChildFile ("factory.fxb");
    juce::MemoryBlock stored;
    const auto expected = made.bank.toBytes();
    if (! bankFile.loadFileAsData (stored) || stored.getSize() != expected.size()
        || std::memcmp (stored.getData(), expected.data(), expected.size()) != 0)
    {
        error = bankFile.getFullPathName().toStdString() + " is not the bank the factory table makes";
        return false;
    }

    const auto readmeFile = folder.getChildFile ("README.md");
    const auto readme = readmeFile.loadFileAsString().toStdString();
    auto updated = readme;
    if (! replaceTable (updated, made.table))
    {
        error = readmeFile.getFullPathName().toStdString() + " has no factory-table markers";
        return false;
    }
    if (updated != readme)
    {
        error = readmeFile.getFullPathName().toStdString() + " does not list the figures the bank measures now";
        return false;
    }
    return true;
}
}
