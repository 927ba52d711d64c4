#include "PngFile.h"

bool PngFile::write (const juce::Image& image, const juce::File& file)
{
    // JUCE's PNG writer picks RGBA from the image's format, not from its
    // pixels, so opaque artwork kept as ARGB still gets an alpha channel.
    jassert (image.getFormat() == juce::Image::ARGB);

    if (! file.deleteFile())
        return false;

    juce::FileOutputStream stream (file);
    juce::PNGImageFormat png;
    return stream.openedOk() && png.writeImageToStream (image, stream);
}
