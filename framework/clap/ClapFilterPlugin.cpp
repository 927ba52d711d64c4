#include "ClapFilterPlugin.h"

#include "ClapFilterGui.h"
#include "FilterState.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace
{
// A state is a few kilobytes; anything past this is not ours.
constexpr size_t maximumStateBytes = 16 * 1024 * 1024;
constexpr uint32_t stereo = 2;

void copyText (const std::string& text, char* destination, uint32_t size) noexcept
{
    if (destination == nullptr || size == 0)
        return;
    const auto n = std::min ((size_t) size - 1, text.size());
    std::memcpy (destination, text.data(), n);
    destination[n] = 0;
}

/** The first port's two channel pointers, or false when the port is missing,
    narrower than stereo or not in 32-bit floats. */
bool stereoChannels (const clap_audio_buffer_t* ports, uint32_t count, float* channels[stereo]) noexcept
{
    if (ports == nullptr || count == 0 || ports[0].data32 == nullptr || ports[0].channel_count < stereo)
        return false;
    for (uint32_t c = 0; c < stereo; ++c)
        if ((channels[c] = ports[0].data32[c]) == nullptr)
            return false;
    return true;
}

bool isParameterValue (const clap_event_header_t* event) noexcept
{
    return event != nullptr && event->space_id == CLAP_CORE_EVENT_SPACE_ID && event->type == CLAP_EVENT_PARAM_VALUE
           && event->size >= sizeof (clap_event_param_value_t);
}
} // namespace

ClapFilterPlugin::ClapFilterPlugin (const ClapPluginDescription& d, const clap_host_t* h,
                                    const clap_plugin_t& functions)
    : description (d)
    , host (h)
    , plugin (functions)
    , filter (d.plugin.makeFilter, this)
{
    for (int i = 0; i < filter->parameterCount(); ++i)
    {
        defaults.push_back (filter->parameterValue (i));
        switches.push_back (d.plugin.isSwitch (i));
    }
    filter->setPlayConfiguration ((int) stereo, (int) stereo, AudioFilterBase::fallbackSampleRate, 0);

    plugin.desc = &d.descriptor;
    plugin.plugin_data = this;
    gui = std::make_unique<ClapFilterGui> (*filter, host);
}

ClapFilterPlugin::~ClapFilterPlugin()
{
    gui.reset(); // deletes the editor, which makes the filter forget it
}

bool ClapFilterPlugin::init()
{
    if (host != nullptr && host->get_extension != nullptr)
        hostParams = static_cast<const clap_host_params_t*> (host->get_extension (host, CLAP_EXT_PARAMS));
    gui->findHostExtensions();
    return true;
}

bool ClapFilterPlugin::activate (double rate, uint32_t maxFrames)
{
    if (! (rate > 0.0) || ! std::isfinite (rate))
        return false;

    const auto blockSize = (int) std::min (maxFrames, (uint32_t) std::numeric_limits<int>::max());
    filter->activate ((int) stereo, (int) stereo, rate, blockSize);
    active = true;
    return true;
}

void ClapFilterPlugin::deactivate()
{
    filter->deactivate();
    active = false;
}

std::optional<float> ClapFilterPlugin::filterValueFor (clap_id id, double hostValue) const noexcept
{
    if (id >= parameterCount() || ! std::isfinite (hostValue))
        return std::nullopt;
    double v = std::clamp (hostValue, 0.0, 1.0);
    if (switches[id])
        v = std::trunc (v);
    return (float) v;
}

void ClapFilterPlugin::applyEvent (const clap_event_header_t& event) noexcept
{
    const auto& change = reinterpret_cast<const clap_event_param_value_t&> (event);
    if (const auto value = filterValueFor (change.param_id, change.value))
    {
        filter->setParameterFromHost ((int) change.param_id, *value);
    }
}

void ClapFilterPlugin::sendEditsToHost (const clap_output_events_t* out) noexcept
{
    ClapEditQueue::Edit edit;
    while (edits.pop (edit))
    {
        if (out == nullptr || out->try_push == nullptr)
            continue;

        // Each edit is one whole gesture, so that hosts that record
        // automation only inside gestures record it.
        clap_event_param_gesture_t gesture {};
        gesture.header = { sizeof (gesture), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_GESTURE_BEGIN, 0 };
        gesture.param_id = edit.index;
        clap_event_param_value_t value {};
        value.header = { sizeof (value), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0 };
        value.param_id = edit.index;
        value.note_id = -1;
        value.port_index = value.channel = value.key = -1;
        value.value = (double) edit.value;

        out->try_push (out, &gesture.header);
        out->try_push (out, &value.header);
        gesture.header.type = CLAP_EVENT_PARAM_GESTURE_END;
        out->try_push (out, &gesture.header);
    }
}

void ClapFilterPlugin::renderFrames (float* const* in, float* const* out, uint32_t start, uint32_t frames) noexcept
{
    // The buffers refer to the host's memory. The filter reads a stretch of
    // input before it writes that stretch, so in-place ports are safe.
    const juce::AudioBuffer<float> input (in, (int) stereo, (int) start, (int) frames);
    juce::AudioBuffer<float> output (out, (int) stereo, (int) start, (int) frames);
    filter->processHostBlock (input, output, midi);
}

clap_process_status ClapFilterPlugin::process (const clap_process_t& p) noexcept
{
    if (! active)
        return CLAP_PROCESS_ERROR;

    sendEditsToHost (p.out_events);

    float* in[stereo] {};
    float* out[stereo] {};
    const bool audio = stereoChannels (p.audio_inputs, p.audio_inputs_count, in)
                       && stereoChannels (p.audio_outputs, p.audio_outputs_count, out);
    const auto frames = std::min (p.frames_count, (uint32_t) std::numeric_limits<int>::max());

    // Events come sorted by time; each is heard from its frame on. One that
    // arrives out of order is heard from where the block has got to.
    uint32_t done = 0;
    const auto* events = p.in_events;
    const uint32_t count = events != nullptr && events->size != nullptr ? events->size (events) : 0;
    for (uint32_t e = 0; e < count; ++e)
    {
        const auto* event = events->get (events, e);
        if (! isParameterValue (event))
            continue;
        const auto at = std::min (event->time, frames);
        if (audio && at > done)
        {
            renderFrames (in, out, done, at - done);
            done = at;
        }
        applyEvent (*event);
    }

    if (audio && frames > done)
        renderFrames (in, out, done, frames - done);
    else if (! audio && p.audio_outputs != nullptr && p.audio_outputs_count > 0 && p.audio_outputs[0].data32 != nullptr)
        for (uint32_t c = 0; c < p.audio_outputs[0].channel_count; ++c)
            if (auto* channel = p.audio_outputs[0].data32[c])
                std::fill (channel, channel + frames, 0.0f);

    // A tail with no end a host could wait for asks to be processed on, as
    // a VST 2 host does anyway.
    return description.plugin.tailEnds ? CLAP_PROCESS_CONTINUE_IF_NOT_QUIET : CLAP_PROCESS_CONTINUE;
}

bool ClapFilterPlugin::parameterInfo (uint32_t index, clap_param_info_t& info)
{
    if (index >= parameterCount())
        return false;

    info = clap_param_info_t {};
    info.id = index;
    info.flags = CLAP_PARAM_IS_AUTOMATABLE | (switches[index] ? (clap_param_info_flags) CLAP_PARAM_IS_STEPPED : 0u);
    copyText (filter->parameterName ((int) index).toStdString(), info.name, sizeof (info.name));
    info.min_value = 0.0;
    info.max_value = 1.0;
    info.default_value = defaults[index];
    return true;
}

bool ClapFilterPlugin::parameterValue (clap_id id, double& value)
{
    if (id >= parameterCount())
        return false;
    value = filter->parameterValue ((int) id);
    return true;
}

bool ClapFilterPlugin::valueToText (clap_id id, double value, char* display, uint32_t size)
{
    if (id >= parameterCount() || ! std::isfinite (value) || display == nullptr || size == 0)
        return false;
    copyText (description.plugin.valueText ((int) id, (float) value), display, size);
    return true;
}

bool ClapFilterPlugin::textToValue (clap_id id, const char* display, double& value)
{
    if (id >= parameterCount() || display == nullptr)
        return false;
    const auto parsed = description.plugin.textToValue ((int) id, display);
    if (! parsed)
        return false;
    value = *parsed;
    return true;
}

void ClapFilterPlugin::flush (const clap_input_events_t* in, const clap_output_events_t* out) noexcept
{
    const uint32_t count = in != nullptr && in->size != nullptr ? in->size (in) : 0;
    for (uint32_t e = 0; e < count; ++e)
        if (const auto* event = in->get (in, e); isParameterValue (event))
            applyEvent (*event);
    sendEditsToHost (out);
}

void ClapFilterPlugin::setParameterFromEditor (AudioFilterBase& f, int index, float value)
{
    f.setParameterValue (index, value);
    if (index < 0 || index >= (int) parameterCount())
        return;
    edits.push ({ (uint32_t) index, f.parameterValue (index) });
    if (hostParams != nullptr && hostParams->request_flush != nullptr)
        hostParams->request_flush (host);
}

bool ClapFilterPlugin::saveState (const clap_ostream_t* stream)
{
    if (stream == nullptr || stream->write == nullptr)
        return false;

    juce::MemoryBlock state;
    FilterState::write (*filter, state);
    const auto* bytes = static_cast<const char*> (state.getData());
    for (size_t written = 0; written < state.getSize();)
    {
        const auto n = stream->write (stream, bytes + written, state.getSize() - written);
        if (n <= 0)
            return false;
        written += (size_t) n;
    }
    return true;
}

bool ClapFilterPlugin::loadState (const clap_istream_t* stream)
{
    if (stream == nullptr || stream->read == nullptr)
        return false;

    std::vector<char> bytes;
    char buffer[4096];
    for (;;)
    {
        const auto n = stream->read (stream, buffer, sizeof (buffer));
        if (n < 0 || bytes.size() + (size_t) n > maximumStateBytes)
            return false;
        if (n == 0)
            break;
        bytes.insert (bytes.end(), buffer, buffer + n);
    }

    // A CLAP host hands back only what the plug-in saved, so a bare VST 2
    // chunk is refused here rather than given to the filter to ignore.
    if (! FilterState::isOwnFormat (bytes.data(), (int) bytes.size())
        || ! FilterState::read (*filter, bytes.data(), (int) bytes.size()))
        return false;

    if (hostParams != nullptr && hostParams->rescan != nullptr)
        hostParams->rescan (host, CLAP_PARAM_RESCAN_VALUES);
    return true;
}

uint32_t ClapFilterPlugin::tailSamples() noexcept
{
    // The fallback rate until the first activation, then the active one.
    const double rate = filter->getSampleRate();
    const double samples = std::ceil (description.plugin.tailSeconds (*filter) * rate);
    constexpr auto endless = (double) std::numeric_limits<int32_t>::max();
    return std::isfinite (samples) ? (uint32_t) std::clamp (samples, 0.0, endless) : (uint32_t) endless;
}

void ClapFilterPlugin::onTimer (clap_id timer)
{
    filter->announceHostChanges();
    gui->onTimer (timer);
}

void ClapFilterPlugin::onFd (int fd)
{
    filter->announceHostChanges();
    gui->onFd (fd);
}
