#pragma once

#include "CommandLine.h"
#include "OutputCheck.h"
#include "VstHost.h"

#include <functional>
#include <string>
#include <vector>

/** The frame of a subcommand that works on one configured instance. It
    takes the steps every such subcommand needs, in the order that loses
    nothing, so that none can be forgotten: the outputs are checked before
    anything is loaded or computed (a name refused at the end would cost the
    whole run), two outputs that are one file are refused, the subcommand's
    own preparation runs (reading its input, say), JUCE runs if the work
    draws, and the work gets the module opened (every call into it marked
    for the supervisor by VstHost) and set up as --program, --preset and
    --param say. What the work writes goes through SafeOutputFile. */
namespace Subcommand
{
struct Output
{
    std::string path;
    OutputCheck::Content content;
};

struct Frame
{
    std::string modulePath;
    const CommandLine& args;
    std::vector<Output> outputs;
    /** The files the run reads besides the --preset files, refused as outputs. */
    std::vector<std::string> inputs = {};
    /** JUCE's runtime for the work: pictures, fonts, editors. */
    bool withJuce = true;
};

/** Returns the exit status: an output's or the preparation's refusal, the
    configured host's failure, else the work's. `prepare` may be empty. */
int run (const Frame& frame, const std::function<int()>& prepare, const std::function<int (VstHost&)>& work);
}
