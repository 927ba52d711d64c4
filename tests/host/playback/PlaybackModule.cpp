// A VST 2 module whose impulse response is given: it convolves each input
// channel with a response read when the module opens from the file that
// LUMIDOR_PLAYBACK_RESPONSE names (32-bit floats in the machine's order,
// left and right interleaved). The impulse-response tests drive
// `lumidor-host ir` with it to compare its figures with an independent
// analysis of the same response.
#include "VstInterface.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
struct Playback
{
    AEffect effect {};
    std::vector<float> response[2];
    /** Every non-zero input sample heard: when, on which channel, how loud. */
    struct Event
    {
        long long at;
        int channel;
        float gain;
    };
    std::vector<Event> events;
    long long position = 0;
};

Playback* self (AEffect* e) { return static_cast<Playback*> (e->object); }

void load (Playback& p)
{
    const char* path = std::getenv ("LUMIDOR_PLAYBACK_RESPONSE");
    std::FILE* file = path != nullptr ? std::fopen (path, "rb") : nullptr;
    if (file == nullptr)
        return;
    float frame[2];
    while (std::fread (frame, sizeof (float), 2, file) == 2)
        for (int c = 0; c < 2; ++c)
            p.response[c].push_back (frame[c]);
    std::fclose (file);
}

VstIntPtr dispatcher (AEffect* e, int opcode, int, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
        case effClose: delete self (e); return 0;
        case effGetEffectName: std::strcpy (static_cast<char*> (ptr), "Playback"); return 1;
        default: return 0;
    }
}

void setParameter (AEffect*, int, float) {}

float getParameter (AEffect*, int) { return 0.0f; }

void processReplacing (AEffect* e, float** in, float** out, int frames)
{
    auto& p = *self (e);
    for (int i = 0; i < frames; ++i)
    {
        const long long now = p.position + i;
        for (int c = 0; c < 2; ++c)
            if (in[c][i] != 0.0f)
                p.events.push_back ({ now, c, in[c][i] });
        float sum[2] = { 0.0f, 0.0f };
        for (const auto& event : p.events)
        {
            const auto& r = p.response[event.channel];
            if ((size_t) (now - event.at) < r.size())
                sum[event.channel] += event.gain * r[(size_t) (now - event.at)];
        }
        out[0][i] = sum[0];
        out[1][i] = sum[1];
    }
    p.position += frames;
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    auto* p = new Playback();
    load (*p);
    p->effect.magic = kEffectMagic;
    p->effect.dispatcher = dispatcher;
    p->effect.setParameter = setParameter;
    p->effect.getParameter = getParameter;
    p->effect.processReplacing = processReplacing;
    p->effect.numParams = 0;
    p->effect.numInputs = 2;
    p->effect.numOutputs = 2;
    p->effect.flags = effFlagsCanReplacing;
    p->effect.object = p;
    p->effect.uniqueID = 0x504c424b;
    return &p->effect;
}
