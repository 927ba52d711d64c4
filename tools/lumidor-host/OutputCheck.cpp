#include "OutputCheck.h"

#include "AudioFiles.h"
#include "SafeOutputFile.h"

#include <algorithm>
#include <cctype>

namespace OutputCheck
{
namespace
{
bool endsWith (const std::string& path, const std::string& ending)
{
    if (path.size() < ending.size())
        return false;
    return std::equal (ending.begin(), ending.end(), path.end() - (long) ending.size(),
                       [] (char a, char b) { return a == std::tolower ((unsigned char) b); });
}
}

int check (const std::string& path, Content content, const std::vector<std::string>& inputs, std::string& error)
{
    if (! SafeOutputFile::check (path, error, inputs))
        return 1;
    switch (content)
    {
        case Content::sound:
            if (AudioFiles::containerFor (path) != 0)
                return 0;
            error = "cannot tell the format of " + path + " (use " + AudioFiles::extensionList() + ")";
            return 2;
        case Content::picture:
            if (endsWith (path, ".png"))
                return 0;
            error = "refusing to write " + path + ": the picture is a PNG, so its name must end in .png";
            return 2;
        case Content::programFile:
            if (endsWith (path, ".fxp") || endsWith (path, ".fxb"))
                return 0;
            error = "refusing to write " + path + ": a program file ends in .fxp, a bank file in .fxb";
            return 2;
    }
    return 0;
}
}
