// Renders the editor off-screen, as the component draws itself without a
// window, and writes its pixels as raw 0xRRGGBB words (width, height, then
// rows). The window tests compare what the X server shows with this. With
// --scale S it draws as a host at that content scale shows it.
//   lumidor_editor_snapshot OUT.raw [INDEX=VALUE]... [--info] [--scale S]
#include "DemoEditorComponent.h"
#include "DemoJuceFilter.h"
#include "MessagePump.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>

int main (int argc, char** argv)
{
    if (argc < 2)
        return 2;

    juce::ScopedJuceInitialiser_GUI juceRuntime;
    DemoJuceFilter filter;
    bool openInfo = false;
    float scale = 1.0f;
    for (int i = 2; i < argc; ++i)
    {
        if (std::strcmp (argv[i], "--info") == 0)
            openInfo = true;
        else if (std::strcmp (argv[i], "--scale") == 0 && i + 1 < argc)
            scale = (float) std::atof (argv[++i]);
        else if (auto* eq = std::strchr (argv[i], '='))
            filter.setParameterValue (std::atoi (argv[i]), (float) std::atof (eq + 1));
    }

    std::unique_ptr<AudioFilterEditor> editor (filter.makeEditor());
    MessagePump::runFor (50);
    if (openInfo)
        for (int i = editor->getNumChildComponents(); --i >= 0;)
            if (auto* b = dynamic_cast<juce::Button*> (editor->getChildComponent (i));
                b != nullptr && b->getX() == 45 && b->getY() == 166)
            {
                dynamic_cast<juce::Button::Listener*> (editor.get())->buttonClicked (b);
                break;
            }

    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, scale);
    FILE* f = std::fopen (argv[1], "wb");
    if (f == nullptr)
        return 1;
    const int size[2] = { image.getWidth(), image.getHeight() };
    std::fwrite (size, sizeof (int), 2, f);
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const uint32_t argb = image.getPixelAt (x, y).getARGB() & 0xffffffu;
            std::fwrite (&argb, 4, 1, f);
        }
    std::fclose (f);
    return 0;
}
