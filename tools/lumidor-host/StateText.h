#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

/** The text inside a program or bank chunk of our plug-in: an 8-byte header
    (the magic "VC2!" and the text's length, both little-endian) and one
    element whose attributes are the stored values and names. The tool reads
    it to hold the values a file spells to its own rule for numbers, since
    the plug-in reads any number it cannot use as 0, as a stored session
    must still load. It follows the plug-in's reading of the same text, not
    its code: the tool reaches the module through the published interface
    only. */
namespace StateText
{
/** Attribute names with ASCII letters in lower case, each with its text. */
using Attributes = std::map<std::string, std::string>;

/** The attributes of the chunk's document as the plug-in looks them up:
    names without regard to case, the first of a name in document order
    winning. Nothing when the chunk is not one of ours, or when it holds no
    document the plug-in would read (a DTD, too many elements, or no '>' at
    its end), since then no value of it is restored. */
std::optional<Attributes> attributes (const std::vector<uint8_t>& chunk);

/** ASCII letters in lower case, everything else as it is. */
std::string foldCase (std::string name);
}
