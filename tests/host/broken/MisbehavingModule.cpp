// A VST 2 module that misbehaves as its LUMIDOR_MISBEHAVE environment
// variable says, for the tests that prove the tool survives it:
//   crash-entry, exit-entry      segfault or exit(0) in the entry point
//   crash-process, exit-process  the same on the first process call
//   channels                     reports a million inputs
//   long-names                   writes 3000-byte names with a newline
//   nan-output                   puts out NaN in every other sample
//   hang-entry, hang-process     spins forever, deaf to SIGINT, SIGTERM, SIGHUP
//   fork-process                 leaves a process behind that sleeps 30 s,
//                                holding the tool's output open
//   chatter                      prints to standard output as it loads and
//                                in its entry point
//   many-parameters              100000 parameters, every text 255 bytes
// Otherwise it halves its input, as a plain effect.
#include "VstInterface.h"

#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
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
    if (b == "hang-" + what)
    {
        for (const int s : { SIGINT, SIGTERM, SIGHUP })
            std::signal (s, SIG_IGN);
        for (volatile unsigned spin = 0;; spin = spin + 1)
        {
        }
    }
    static bool forked = false;
    if (b == "fork-" + what && ! forked)
    {
        forked = true;
        if (fork() == 0)
        {
            sleep (30);
            _exit (0);
        }
    }
}

__attribute__ ((constructor)) void chatterWhenLoaded()
{
    if (behaviour() == "chatter")
        std::puts ("module chatter as it loads");
}

VstIntPtr dispatcher (AEffect* e, int opcode, int, VstIntPtr, void* ptr, float)
{
    const bool longNames = behaviour() == "long-names";
    switch (opcode)
    {
        case effClose: delete e; return 0;
        case effGetParamLabel:
        case effGetParamDisplay:
            if (behaviour() != "many-parameters")
                return 0;
            std::memset (ptr, 'p', 255);
            static_cast<char*> (ptr)[255] = 0;
            return 1;
        case effGetEffectName:
        case effGetParamName:
        case effGetProgramName:
            if (behaviour() == "many-parameters")
            {
                std::memset (ptr, 'n', 255);
                static_cast<char*> (ptr)[255] = 0;
            }
            else if (longNames)
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
    if (behaviour() == "chatter")
        std::printf ("module chatter in its entry point\n");
    auto* e = new AEffect();
    e->magic = kEffectMagic;
    e->dispatcher = dispatcher;
    e->setParameter = setParameter;
    e->getParameter = getParameter;
    e->processReplacing = processReplacing;
    e->numParams = behaviour() == "many-parameters" ? 100000 : 1;
    e->numInputs = behaviour() == "channels" ? 1000000 : 2;
    e->numOutputs = 2;
    e->flags = effFlagsCanReplacing;
    e->uniqueID = 0x4d495342;
    return e;
}
