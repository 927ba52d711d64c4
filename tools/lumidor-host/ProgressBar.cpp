#include "ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr int barWidth = 40;
}

ProgressBar::ProgressBar (std::string text, bool wanted)
    : label (std::move (text))
    , active (wanted && isatty (STDERR_FILENO) != 0)
{
}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update (double fraction)
{
    if (! active)
        return;
    const int percent = std::clamp ((int) (fraction * 100.0), 0, 100);
    if (percent == shown)
        return;
    shown = percent;
    const int filled = percent * barWidth / 100;
    std::fprintf (stderr, "\r%s [%.*s%*s] %3d%%", label.c_str(), filled, "########################################",
                  barWidth - filled, "", percent);
    std::fflush (stderr);
}

void ProgressBar::finish()
{
    if (active && shown >= 0)
        std::fprintf (stderr, "\r%*s\r", (int) label.size() + barWidth + 9, "");
    shown = -1;
    active = false;
}

void ProgressBar::callback (double fraction, void* bar) { static_cast<ProgressBar*> (bar)->update (fraction); }
