#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/** The CLAP build's editor, opened the way a CLAP host opens it: the module
    loaded by its clap_entry, one plug-in made, given a state, its X11 editor
    created at a scale (set_scale), sized by get_size and embedded in a host
    window, its timers run by the host's idle loop. The gui subcommand uses
    it for --scale, because the VST 2 interface has no way to ask a plug-in
    for a larger editor: the picture is the one a CLAP host at that scale
    shows. Main thread only. */
class ClapEditorHost
{
public:
    ClapEditorHost();
    ~ClapEditorHost();

    ClapEditorHost (const ClapEditorHost&) = delete;
    ClapEditorHost& operator= (const ClapEditorHost&) = delete;

    /** Loads the module and makes its first plug-in; false with the reason. */
    bool open (const std::string& modulePath, std::string& error);

    /** Restores a state through the plug-in's state extension; a VST 2
        program chunk of the same plug-in is one it reads. */
    bool loadState (const std::vector<uint8_t>& state);

    /** Creates the editor at the scale and returns the size it asks the
        host for, in X11 pixels. */
    bool createEditor (double scale, uint32_t& width, uint32_t& height, std::string& error);

    /** Embeds the editor in the X11 window and shows it. */
    bool showIn (unsigned long x11Window);

    /** What a host's main loop does between events: the plug-in's timers. */
    void idle();

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
