#include "CommandLine.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

bool CommandLine::parse (const std::vector<std::string>& input, const std::vector<std::string>& options,
                         const std::vector<std::string>& flags)
{
    auto listed = [] (const std::vector<std::string>& list, const std::string& name)
    {
        return std::find (list.begin(), list.end(), name) != list.end();
    };

    for (size_t i = 0; i < input.size(); ++i)
    {
        const auto& word = input[i];
        if (word.size() < 3 || word.compare (0, 2, "--") != 0)
        {
            words.push_back (word);
            continue;
        }

        auto name = word.substr (2);
        std::optional<std::string> attached;
        if (const auto equals = name.find ('='); equals != std::string::npos)
        {
            attached = name.substr (equals + 1);
            name = name.substr (0, equals);
        }

        if (listed (flags, name) && ! attached)
        {
            given.emplace (name, "");
            ordered.emplace_back (name, "");
            continue;
        }
        if (! listed (options, name))
        {
            message = "unknown option --" + name;
            return false;
        }
        if (! attached)
        {
            if (i + 1 >= input.size())
            {
                message = "option --" + name + " needs a value";
                return false;
            }
            attached = input[++i];
        }
        given.emplace (name, *attached);
        ordered.emplace_back (name, *attached);
    }
    return true;
}

bool CommandLine::isModulePath (const std::string& word)
{
    struct stat info
    {
    };
    return word.size() > 3 && word.compare (word.size() - 3, 3, ".so") == 0 && ::stat (word.c_str(), &info) == 0
           && S_ISREG (info.st_mode);
}

std::string CommandLine::installedBesideTool (const std::string& relative)
{
    // Installed as DIR/bin/lumidor-host, the tool finds what was installed
    // with it under DIR.
    char self[4096];
    const auto length = ::readlink ("/proc/self/exe", self, sizeof (self) - 1);
    if (length <= 0)
        return {};
    std::string folder (self, static_cast<size_t> (length));
    for (int level = 0; level < 2; ++level)
        folder.erase (std::min (folder.size(), folder.rfind ('/')));
    const auto installed = folder + "/" + relative;
    struct stat info
    {
    };
    const bool found = ! folder.empty() && ::stat (installed.c_str(), &info) == 0 && S_ISREG (info.st_mode)
                       && ::access (installed.c_str(), R_OK) == 0;
    return found ? installed : std::string();
}

std::string CommandLine::defaultModule()
{
    // The module installed with the tool, DIR/lib/lxvst/Lumidor.so: the
    // build tree it was made in is usually gone by then. In the build tree,
    // the module built with it.
    const auto installed = installedBesideTool ("lib/lxvst/Lumidor.so");
    return installed.empty() ? LUMIDOR_DEFAULT_MODULE : installed;
}

std::string CommandLine::takeModule()
{
    if (! words.empty() && isModulePath (words.front()))
    {
        const auto path = asGiven (words.front());
        words.erase (words.begin());
        return path;
    }
    return defaultModule();
}

std::string CommandLine::asGiven (const std::string& path)
{
    // dlopen searches the library path for a name without a slash; the
    // user means the file that is right here.
    return path.find ('/') == std::string::npos ? "./" + path : path;
}

bool CommandLine::has (const std::string& name) const { return given.count (name) != 0; }

std::optional<std::string> CommandLine::value (const std::string& name) const
{
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it)
        if (it->first == name)
            return it->second;
    return std::nullopt;
}

std::vector<std::string> CommandLine::values (const std::string& name) const
{
    std::vector<std::string> result;
    for (const auto& [key, text] : ordered)
        if (key == name)
            result.push_back (text);
    return result;
}

bool CommandLine::number (const std::string& name, double fallback, const StrictNumber::Range& range, double& result)
{
    const auto text = value (name);
    if (! text)
    {
        result = fallback;
        return true;
    }
    return StrictNumber::read ("--" + name, *text, range, result, message);
}
