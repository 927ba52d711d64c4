#pragma once

#include <string>

/** A one-line progress bar on the error stream, drawn only when that stream
    is a terminal; otherwise every call does nothing. */
class ProgressBar
{
public:
    ProgressBar (std::string label, bool wanted);
    ~ProgressBar();

    ProgressBar (const ProgressBar&) = delete;
    ProgressBar& operator= (const ProgressBar&) = delete;

    /** `fraction` from 0 to 1; redraws only when the shown percentage moves. */
    void update (double fraction);
    /** Clears the line. */
    void finish();

    /** For VstHost::processStereo. */
    static void callback (double fraction, void* bar);

private:
    std::string label;
    bool active;
    int shown = -1;
};
