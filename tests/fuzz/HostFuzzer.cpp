// Plays a hostile host against one plug-in instance: the bytes of each input are
// decoded as a sequence of dispatcher calls, parameter sets and reads and
// process calls on the effect descriptor, created through the VST adapter as
// the module's entry point creates it. Checks: no crash or undefined
// behaviour, and finite output whenever the live parameters lie within a
// generous range (values far beyond it, which the filter stores unclamped,
// may legitimately overflow the gain).
//
// Only opcodes whose pointer argument can be served safely are sent: every
// pointer refers to a zeroed buffer larger than anything the adapter writes,
// strings are zero-terminated, and a chunk's size never exceeds its data.
// The editor opcodes (13, 14, 15) and close (1) are left out: there is no
// window system here, and the instance lives across inputs, as in a host
// session; each input starts from the same programs and parameters.

#include "DemoJuceFilter.h"
#include "JuceVSTWrapper.h"
#include "PluginIdentity.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
constexpr int maxFrames = 1024;
constexpr int maxFramesPerInput = 16 * maxFrames; // keeps each run short
constexpr float saneLow = -2.0f, saneHigh = 3.0f; // parameter range with bounded gain
constexpr float inputLimit = 8.0f;                // finite inputs are kept within this

/** Set once the current instance has processed out-of-range values. */
bool engineTainted = false;

VstIntPtr host (AEffect*, int opcode, int, VstIntPtr, void*, float) { return opcode == audioMasterVersion ? 2400 : 0; }

void fail (const char* what)
{
    std::fprintf (stderr, "host fuzzer invariant broken: %s\n", what);
    std::abort();
}

/** Reads the input front to back; past its end every read yields zeros. */
struct Reader
{
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    bool more() const { return pos < size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint32_t u32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= (uint32_t) byte() << (8 * i);
        return v;
    }
    float rawFloat()
    {
        const uint32_t bits = u32();
        float f;
        std::memcpy (&f, &bits, sizeof f);
        return f;
    }
    /** Up to maxLength bytes taken from the input. */
    std::vector<char> bytes (size_t maxLength)
    {
        const size_t n = std::min (maxLength, size - std::min (pos, size));
        std::vector<char> v (data + pos, data + pos + n);
        pos += n;
        return v;
    }
};

/** A parameter value: mostly within and around 0..1, sometimes raw bits. */
float parameterValue (Reader& r)
{
    static const float interesting[] = { 0.0f, 1.0f, 0.5f, -1.0f, 2.0f, 0.999f, 1e-30f, -0.0f };
    const uint8_t mode = r.byte();
    if (mode < 96)
        return interesting[mode % 8];
    if (mode < 240)
        return saneLow + (saneHigh - saneLow) * (float) (r.u32() >> 8) / 16777216.0f;
    return r.rawFloat();
}

int parameterIndex (Reader& r)
{
    const auto b = (int8_t) r.byte();
    return b >= -16 && b < 32 ? b : (int) r.u32();
}

bool liveParametersAreSane (AEffect* e)
{
    for (int p = 0; p < e->numParams; ++p)
    {
        const float v = e->getParameter (e, p);
        if (! std::isfinite (v))
            fail ("a live parameter is not finite");
        if (v < saneLow || v > saneHigh)
            return false;
    }
    return true;
}

void process (AEffect* e, Reader& r, int& framesLeft, std::vector<float>* channels, int fixedFrames = -1)
{
    const int wanted = fixedFrames >= 0 ? fixedFrames : (int) (r.u32() % (maxFrames + 1));
    const int frames = std::min (wanted, std::max (framesLeft, fixedFrames));
    framesLeft -= frames;
    const uint8_t mode = r.byte();

    for (int ch = 0; ch < 4; ++ch)
        channels[ch].assign ((size_t) maxFrames, 0.0f);

    uint32_t seed = r.u32();
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < frames; ++i)
        {
            float x;
            if ((mode & 3) == 0)
            {
                seed = seed * 1664525u + 1013904223u;
                x = (float) (seed >> 8) / 8388608.0f - 1.0f;
            }
            else if ((mode & 3) == 1 && r.more())
            {
                // Raw bits: NaN and infinity reach the adapter as a host
                // could send them; finite values are bounded.
                x = r.rawFloat();
                if (std::isfinite (x))
                    x = std::fmax (-inputLimit, std::fmin (inputLimit, x));
            }
            else
                x = (mode & 3) == 2 ? (i == 0 ? 1.0f : 0.0f) : 0.0f;
            channels[ch][(size_t) i] = x;
        }

    // The engine has no reset: once it has run with values far out of range
    // its loops may hold infinities for good, so finiteness is asserted only
    // on an instance that has never processed such values.
    const bool sane = liveParametersAreSane (e);
    if (! sane)
        engineTainted = true;
    const bool inPlace = (mode & 4) != 0;
    float* ins[] = { channels[0].data(), channels[1].data() };
    float* outs[] = { channels[2].data(), channels[3].data() };
    float** o = inPlace ? ins : outs;
    e->processReplacing (e, ins, o, frames);

    if (! engineTainted)
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < frames; ++i)
                if (! std::isfinite (o[ch][i]))
                    fail ("non-finite output with parameters in range");
}

void dispatcherCall (AEffect* e, Reader& r)
{
    // Each slot names an opcode and how its arguments are served.
    static const int opcodes[] = { 0,  2,  3,  4,  5,  6,  7,  8,  10, 11, 12, 19, 22, 23, 24, 25, 26, 27, 29, 33,
                                   34, 35, 38, 42, 44, 45, 47, 48, 49, 51, 52, 56, 58, 63, 69, 71, 72, 73, 77, -1 };
    const int opcode = [&]
    {
        const int o = opcodes[r.byte() % (sizeof opcodes / sizeof opcodes[0])];
        if (o >= 0)
            return o;
        // Anything else the adapter does not answer, far from the editor
        // and close opcodes.
        const int any = 80 + r.byte();
        return any;
    }();

    const int index = parameterIndex (r);
    VstIntPtr value = (VstIntPtr) (int32_t) r.u32();
    float opt = 0.0f;

    // Zeroed and larger than any text the adapter writes (64 + 1 bytes).
    alignas (16) char buffer[512] = {};
    void* ptr = buffer;

    switch (opcode)
    {
        case effSetProgram:
            value = (VstIntPtr) (int8_t) r.byte() * 2; // -256..254 crosses both ends
            break;
        case effSetProgramName:
        case effCanDo:
        {
            const auto text = r.bytes (r.byte() % 64);
            if (! text.empty())
                std::memcpy (buffer, text.data(), text.size());
            buffer[text.size()] = 0;
            break;
        }
        case effSetSampleRate: opt = r.byte() < 200 ? (float) (r.u32() % 400000) - 1000.0f : r.rawFloat(); break;
        case effSetBlockSize: value = (VstIntPtr) (r.u32() % 8192); break;
        case effSetChunk:
        {
            // A real chunk from this instance, possibly damaged, or raw bytes.
            static std::vector<char> data;
            if (r.byte() < 128)
            {
                void* chunk = nullptr;
                const auto size = e->dispatcher (e, effGetChunk, r.byte() & 1, 0, &chunk, 0.0f);
                data.assign (static_cast<char*> (chunk), static_cast<char*> (chunk) + size);
                for (int flips = r.byte() % 4; flips > 0 && ! data.empty(); --flips)
                    data[r.u32() % data.size()] ^= (char) r.byte();
                data.resize (std::min (data.size(), (size_t) r.u32() % (data.size() + 64)));
            }
            else
                data = r.bytes (r.u32() % 4096);
            const uint8_t sizeMode = r.byte();
            value = sizeMode < 200 ? (VstIntPtr) data.size() : (VstIntPtr) - (int) (sizeMode - 199);
            if (data.empty() || value <= 0)
                ptr = sizeMode & 1 ? nullptr : buffer;
            else
                ptr = data.data();
            e->dispatcher (e, effSetChunk, index, value, ptr, opt);
            return;
        }
        case effGetSpeakerArrangement:
        {
            static void* in;
            static void* out;
            value = (VstIntPtr) &in;
            ptr = &out;
            break;
        }
        case effMainsChanged:
        case effGetProgramNameIndexed:
        case effSetTotalSampleToProcess:
        default: break;
    }

    const auto result = e->dispatcher (e, opcode, index, value, ptr, opt);

    switch (opcode)
    {
        case effGetChunk:
        {
            // The chunk must be readable to its last byte.
            const auto* chunk = *reinterpret_cast<const char* const*> (buffer);
            if (result <= 0 || chunk == nullptr)
                fail ("get chunk handed out nothing");
            volatile char sum = 0;
            for (VstIntPtr i = 0; i < result; ++i)
                sum = (char) (sum + chunk[i]);
            break;
        }
        case effGetProgramName:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effGetProgramNameIndexed:
        case effGetEffectName:
        case effGetVendorString:
        case effGetProductString:
            if (std::strlen (buffer) > 64)
                fail ("a text reply is longer than its limit");
            break;
        default: break;
    }
}

/** The one instance every input plays against, created through the adapter
    as the module's entry point creates it and opened once. */
struct Instance
{
    Instance()
    {
        auto* wrapper = new JuceVSTWrapper (host, std::make_unique<DemoJuceFilter>(), lumidorIdentity.vst);
        effect = wrapper->getAEffect();
        effect->dispatcher (effect, effOpen, 0, 0, nullptr, 0.0f);
        for (int p = 0; p < effect->numParams; ++p)
            defaults.push_back (effect->getParameter (effect, p));
    }

    /** Brings programs, parameters and processing back to where a new
        instance starts, so each input begins alike (the engine's tail aside:
        it has no reset). Parsing a bank chunk here would cost more than the
        input itself, so every program is set by hand. */
    void restart()
    {
        char name[] = "Default";
        effect->dispatcher (effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        for (int program = effect->numPrograms; --program >= 0;)
        {
            effect->dispatcher (effect, effSetProgram, 0, program, nullptr, 0.0f);
            for (int p = 0; p < effect->numParams; ++p)
                effect->setParameter (effect, p, defaults[(size_t) p]);
            effect->dispatcher (effect, effSetProgramName, 0, 0, name, 0.0f);
        }
        effect->dispatcher (effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        effect->dispatcher (effect, effSetBlockSize, 0, maxFrames, nullptr, 0.0f);
        effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }

    AEffect* effect = nullptr;
    std::vector<float> defaults;
};
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static Instance* instance = new Instance();
    if (engineTainted)
    {
        // A fresh instance, so that later inputs are checked again.
        instance->effect->dispatcher (instance->effect, effClose, 0, 0, nullptr, 0.0f);
        delete instance;
        instance = new Instance();
        engineTainted = false;
    }
    instance->restart();
    AEffect* e = instance->effect;

    Reader r { data, size };
    std::vector<float> channels[4];
    int framesLeft = maxFramesPerInput;

    while (r.more())
    {
        switch (r.byte() % 8)
        {
            case 0:
            case 1:
            case 2: dispatcherCall (e, r); break;
            case 3:
            case 4: e->setParameter (e, parameterIndex (r), parameterValue (r)); break;
            case 5:
                if (! std::isfinite (e->getParameter (e, parameterIndex (r))))
                    fail ("get parameter returned a non-finite value");
                break;
            default: process (e, r, framesLeft, channels); break;
        }
    }

    // A final block with the state the sequence left behind.
    process (e, r, framesLeft, channels, 256);
    return 0;
}
