#pragma once

#include <string>
#include <vector>

/** The check every subcommand makes of its outputs before any work, so that
    a name it would refuse at the end costs nothing and loses nothing. */
namespace OutputCheck
{
/** What an output holds, which its extension must name. */
enum class Content
{
    sound,       ///< .wav, .aiff, .aif, .aifc, .flac, .w64, .rf64
    picture,     ///< .png
    programFile, ///< .fxp (one program) or .fxb (a bank)
};

/** 0 when `path` can be written with that content; otherwise a message in
    `error` and the exit status: 1 when the path cannot be written (a folder,
    a missing or read-only folder, one of `inputs`), 2 when its extension
    does not name the content. The path is checked first, so a folder is
    reported as a folder whatever its name. */
int check (const std::string& path, Content content, const std::vector<std::string>& inputs, std::string& error);
}
