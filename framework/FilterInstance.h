#pragma once

#include "AudioFilterBase.h"

#include <functional>
#include <memory>

/** One plug-in instance's hold on the module and on its filter, made and
    ended the same way in every format that shows an editor:

    - the module counts the instance before anything else, so the first one
      starts the GUI subsystem on the host's thread, which becomes the
      message thread (hosts create instances on their GUI thread);
    - the filter is made (or taken over) and linked to the adapter as its
      host;
    - the end undoes this in reverse, and so does a constructor that throws
      after it: an adapter whose filter or editor cannot be made leaves the
      module as it found it.

    Adapters hold one as a member declared before their editor window, so
    the window (and the editor, which the filter remembers) goes first. */
class FilterInstance
{
public:
    using FilterFactory = std::function<std::unique_ptr<AudioFilterBase>()>;

    FilterInstance (const FilterFactory& makeFilter, AudioFilterHost* host);
    /** For a filter the format's entry point made before the instance. */
    FilterInstance (std::unique_ptr<AudioFilterBase> madeFilter, AudioFilterHost* host);
    ~FilterInstance();

    FilterInstance (const FilterInstance&) = delete;
    FilterInstance& operator= (const FilterInstance&) = delete;

    AudioFilterBase& operator*() const noexcept { return *filter; }
    AudioFilterBase* operator->() const noexcept { return filter.get(); }

private:
    void link (AudioFilterHost* host);

    struct ModuleHold
    {
        ModuleHold();
        ~ModuleHold();
        ModuleHold (const ModuleHold&) = delete;
        ModuleHold& operator= (const ModuleHold&) = delete;
    };

    ModuleHold hold;
    std::unique_ptr<AudioFilterBase> filter;
};
