// A VST 2 module that misbehaves as its LUMIDOR_MISBEHAVE environment
// variable says, for the tests that prove the tool survives it:
//   crash-entry, exit-entry      segfault or exit(0) in the entry point
//   crash-process, exit-process  the same on the first process call
//   channels                     reports a million inputs
//   long-names                   writes 3000-byte names with a newline
//   nan-output                   puts out NaN in every other sample
// Otherwise it halves its input, as a plain effect.
#include "VstInterface.h"

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
std::string behaviour()
{
    const char* text = std::getenv ("LUMIDOR_MISBEHAVE");
    return text != nullptr ? text : "";
}

void misbehave (const std::string& what)
{
    const auto b = behaviour();
    if (b == "crash-" + what)
        std::raise (SIGSEGV);
    if (b == "exit-" + what)
        std::exit (0);
}

VstIntPtr dispatcher (AEffect* e, int opcode, int, VstIntPtr, void* ptr, float)
{
    const bool longNames = behaviour() == "long-names";
    switch (opcode)
    {
        case effClose: delete e; return 0;
        case effGetEffectName:
        case effGetParamName:
        case effGetProgramName:
            if (longNames)
            {
                std::memset (ptr, 'x', 3000);
                static_cast<char*> (ptr)[10] = '\n';
                static_cast<char*> (ptr)[3000] = 0;
            }
            else
                std::strcpy (static_cast<char*> (ptr), "Misbehaving");
            return 1;
        default: return 0;
    }
}

void setParameter (AEffect*, int, float) {}
float getParameter (AEffect*, int) { return 0.5f; }

void processReplacing (AEffect*, float** in, float** out, int frames)
{
    misbehave ("process");
    const bool nan = behaviour() == "nan-output";
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            out[c][i] = nan && i % 2 == 1 ? NAN : 0.5f * in[c][i];
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    misbehave ("entry");
    auto* e = new AEffect();
    e->magic = kEffectMagic;
    e->dispatcher = dispatcher;
    e->setParameter = setParameter;
    e->getParameter = getParameter;
    e->processReplacing = processReplacing;
    e->numParams = 1;
    e->numInputs = behaviour() == "channels" ? 1000000 : 2;
    e->numOutputs = 2;
    e->flags = effFlagsCanReplacing;
    e->uniqueID = 0x4d495342;
    return e;
}
