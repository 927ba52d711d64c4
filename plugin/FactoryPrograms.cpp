#include "FactoryPrograms.h"

const std::array<const char*, FactoryProgram::parameterCount> factoryParameterNames {
    "EarlySize", "LateSize", "Decay",       "Diffusion",    "Listener",      "Dry-Wet",
    "Volume",    "On-Off",   "Left On-Off", "Right On-Off", "Stereo On-Off",
};

std::array<float, FactoryProgram::parameterCount> FactoryProgram::values() const noexcept
{
    constexpr float unityVolume = 0.5f, on = 1.0f, off = 0.0f;
    return { earlySize, lateSize, decay, diffusion, listener, dryWet, unityVolume, on, off, off, on };
}

// Grouped from the smallest space to the largest. Dry-Wet is set for use as
// an insert; on a send or bus, turn it to 1.
const std::vector<FactoryProgram>& factoryPrograms()
{
    // name              use                                          early  late   decay  diff   listen dry-wet
    static const std::vector<FactoryProgram> programs {
        { "Vocal Booth", "voice-over and dialogue, a touch of air", 0.20f, 0.10f, 0.30f, 0.50f, 0.30f, 0.20f },
        { "Small Room", "acoustic guitar, percussion", 0.30f, 0.20f, 0.35f, 0.60f, 0.35f, 0.30f },
        { "Drum Room", "kit overheads and close mics", 0.45f, 0.35f, 0.45f, 0.55f, 0.45f, 0.35f },
        { "Live Room", "band tracks recorded apart", 0.50f, 0.40f, 0.42f, 0.60f, 0.45f, 0.30f },
        { "Wood Room", "strings and piano, close and dense", 0.40f, 0.25f, 0.40f, 0.75f, 0.40f, 0.30f },
        { "Large Room", "a whole band in one space", 0.55f, 0.45f, 0.45f, 0.60f, 0.45f, 0.30f },
        { "Studio Chamber", "vocals and snare, the classic send", 0.50f, 0.45f, 0.50f, 0.75f, 0.60f, 0.30f },
        { "Stone Chamber", "horns and backing vocals", 0.55f, 0.50f, 0.56f, 0.65f, 0.60f, 0.30f },
        { "Echo Chamber", "slap-rich chamber for rockabilly and soul", 0.60f, 0.45f, 0.57f, 0.35f, 0.50f, 0.30f },
        { "Vocal Plate", "lead vocal, smooth and dense", 0.15f, 0.35f, 0.59f, 0.75f, 0.85f, 0.25f },
        { "Drum Plate", "snare and toms, short and thick", 0.10f, 0.30f, 0.52f, 0.75f, 0.85f, 0.30f },
        { "Long Plate", "ballad vocals, saxophone", 0.15f, 0.40f, 0.65f, 0.75f, 0.85f, 0.25f },
        { "Big Plate", "backing vocals and pads, a wide plate", 0.20f, 0.45f, 0.58f, 0.85f, 0.85f, 0.25f },
        { "Small Hall", "string quartet, choir sections", 0.60f, 0.50f, 0.57f, 0.60f, 0.60f, 0.30f },
        { "Concert Hall", "orchestra, piano recital", 0.70f, 0.55f, 0.60f, 0.60f, 0.65f, 0.30f },
        { "Large Hall", "strings and pads that need distance", 0.80f, 0.60f, 0.64f, 0.60f, 0.70f, 0.35f },
        { "Vocal Hall", "ballad lead vocal, a soft long tail", 0.50f, 0.50f, 0.58f, 0.75f, 0.75f, 0.25f },
        { "Piano Hall", "grand piano, solo or in a mix", 0.65f, 0.50f, 0.58f, 0.65f, 0.60f, 0.25f },
        { "Dark Hall", "film score, soft strings", 0.80f, 0.70f, 0.65f, 0.70f, 0.75f, 0.45f },
        { "Church", "choir, organ, solo voice", 0.85f, 0.70f, 0.68f, 0.70f, 0.70f, 0.35f },
        { "Cathedral", "a huge stone nave", 0.95f, 0.75f, 0.71f, 0.70f, 0.75f, 0.40f },
        { "Long Ambient", "pads, drones, sound design", 0.70f, 0.70f, 0.76f, 0.85f, 0.90f, 0.45f },
        { "Ambient Wash", "guitars dissolved into the background", 0.50f, 0.75f, 0.82f, 0.85f, 0.95f, 0.50f },
        { "Endless Space", "near-endless sustain for textures", 0.60f, 0.75f, 0.94f, 0.85f, 0.95f, 0.50f },
        { "Early Only", "width and depth without a tail", 0.55f, 0.00f, 0.30f, 0.60f, 0.00f, 0.35f },
        { "Distant Source", "push a track to the back of the stage", 0.70f, 0.60f, 0.55f, 0.60f, 0.90f, 0.60f },
    };
    return programs;
}
