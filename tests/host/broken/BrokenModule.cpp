// A VST 2 module with two faults for the validate tests to find: it crashes
// when asked to open its editor without a window, and once it has heard a
// value that is not a finite number it outputs NaN for ever.
#include "VstInterface.h"

#include <cmath>
#include <csignal>
#include <cstring>

namespace
{
struct Broken
{
    AEffect effect {};
    bool poisoned = false;
};

Broken* self (AEffect* e) { return static_cast<Broken*> (e->object); }

VstIntPtr dispatcher (AEffect* e, int opcode, int, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
        case effClose: delete self (e); return 0;
        case effEditOpen:
            if (ptr == nullptr)
                std::raise (SIGSEGV);
            return 1;
        case effGetEffectName: std::strcpy (static_cast<char*> (ptr), "Broken"); return 1;
        default: return 0;
    }
}

void setParameter (AEffect* e, int, float v)
{
    if (! std::isfinite (v))
        self (e)->poisoned = true;
}

float getParameter (AEffect*, int) { return 0.5f; }

void processReplacing (AEffect* e, float** in, float** out, int frames)
{
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            out[c][i] = self (e)->poisoned ? NAN : 0.5f * in[c][i];
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    auto* b = new Broken();
    b->effect.magic = kEffectMagic;
    b->effect.dispatcher = dispatcher;
    b->effect.setParameter = setParameter;
    b->effect.getParameter = getParameter;
    b->effect.processReplacing = processReplacing;
    b->effect.numParams = 1;
    b->effect.numInputs = 2;
    b->effect.numOutputs = 2;
    b->effect.flags = effFlagsHasEditor | effFlagsCanReplacing;
    b->effect.object = b;
    b->effect.uniqueID = 0x42524b4e;
    return &b->effect;
}
