// Draws the editor's six pictures and writes them as PNG files, each at 1 ×
// (NAME.png) and, for screens that show the editor enlarged, drawn afresh at
// 2 × and 3 × (NAME@2x.png, NAME@3x.png).
//
// Regenerate the shipped artwork from the repository root with:
//     build/make-images gui/images
// Add --preview FOLDER to also write review pictures into FOLDER: the composed
// editor in a few states, every image enlarged three times and close-ups.
// The lettering needs Debian's fonts-liberation and fonts-dejavu-core.

#include "BackgroundArtwork.h"
#include "InfoPanelArtwork.h"
#include "Lettering.h"
#include "ListenerStripArtwork.h"
#include "PngFile.h"
#include "PreviewComposer.h"
#include "SwitchArtwork.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <vector>

int main (int argc, char** argv)
{
    juce::String outputPath, previewPath;
    auto usable = argc >= 2;
    for (int i = 1; usable && i < argc; ++i)
    {
        const juce::String argument (argv[i]);
        if (argument == "--preview" && i + 1 < argc)
            previewPath = argv[++i];
        else if (outputPath.isEmpty() && ! argument.startsWith ("--"))
            outputPath = argument;
        else
            usable = false;
    }

    if (! usable || outputPath.isEmpty())
    {
        std::cerr << "usage: make-images OUTPUT_FOLDER [--preview FOLDER]\n";
        return 2;
    }

    // JUCE keeps its font list in singletons that the initialiser tears down.
    juce::ScopedJuceInitialiser_GUI juce;

    // A missing face would silently fall back to another one and change
    // every caption, so refuse to draw without the faces the artwork names.
    const auto installed = juce::Font::findAllTypefaceNames();
    for (auto family : { Lettering::sans, Lettering::sansNarrow, Lettering::pageSans })
    {
        if (! installed.contains (family))
        {
            std::cerr << "make-images: the font \"" << family << "\" is not installed\n";
            return 1;
        }
    }

    const auto cwd = juce::File::getCurrentWorkingDirectory();

    // The one list of the editor's pictures: the build embeds whatever this
    // writes into the folder, under these names.
    using Draw = juce::Image (*) (int scale);
    const std::pair<const char*, Draw> pictures[] = {
        { "backgroundImage", BackgroundArtwork::create },     { "infoPanelImage", InfoPanelArtwork::create },
        { "powerSwitchImage", SwitchArtwork::createPower },   { "inputSwitchImage", SwitchArtwork::createInput },
        { "stereoSwitchImage", SwitchArtwork::createStereo }, { "listenerStripImage", ListenerStripArtwork::create },
    };

    const auto folder = cwd.getChildFile (outputPath);
    if (! folder.createDirectory())
    {
        std::cerr << "make-images: cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    std::vector<juce::Image> onceDrawn;
    for (const int scale : { 1, 2, 3 })
    {
        for (const auto& [name, draw] : pictures)
        {
            const auto image = draw (scale);
            if (scale == 1)
                onceDrawn.push_back (image);
            const auto suffix = scale == 1 ? juce::String() : "@" + juce::String (scale) + "x";
            const auto file = folder.getChildFile (juce::String (name) + suffix + ".png");
            if (! PngFile::write (image, file))
            {
                std::cerr << "make-images: cannot write " << file.getFullPathName() << "\n";
                return 1;
            }
        }
    }

    const PreviewComposer::Artwork artwork { onceDrawn[0], onceDrawn[1], onceDrawn[2],
                                             onceDrawn[3], onceDrawn[4], onceDrawn[5] };
    if (previewPath.isNotEmpty() && ! PreviewComposer::writeAll (artwork, cwd.getChildFile (previewPath)))
    {
        std::cerr << "make-images: cannot write the previews into " << previewPath << "\n";
        return 1;
    }
    return 0;
}
