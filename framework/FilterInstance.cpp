#include "FilterInstance.h"

#include "PluginModule.h"

#include <stdexcept>

FilterInstance::ModuleHold::ModuleHold() { PluginModule::instanceCreated(); }

FilterInstance::ModuleHold::~ModuleHold() { PluginModule::instanceDeleted(); }

// The hold is the first member, so the module counts the instance before
// the factory runs and forgets it again if the factory throws.
FilterInstance::FilterInstance (const FilterFactory& makeFilter, AudioFilterHost* host)
    : filter (makeFilter())
{
    link (host);
}

FilterInstance::FilterInstance (std::unique_ptr<AudioFilterBase> madeFilter, AudioFilterHost* host)
    : filter (std::move (madeFilter))
{
    link (host);
}

void FilterInstance::link (AudioFilterHost* host)
{
    if (filter == nullptr)
        throw std::runtime_error ("the filter could not be made");
    filter->setHost (host);
}

FilterInstance::~FilterInstance()
{
    filter->setHost (nullptr);
    filter.reset();
}
