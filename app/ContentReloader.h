// Live reload for the makers' player. Watches every file the show reads
// (FileWatch: by identity and content, not by time alone): the resource
// list, the images, shader sources and dialog scripts it names, every script
// a figure speaks, and whatever the player hands to watch() with its own
// reload (the music). What changed is reloaded in place: an image into the
// same texture, a shader program rebuilt into the same ShaderProgram (the old
// program stays when the new one does not build; the GL diagnostics are
// printed as at start-up), a dialog script re-read by every figure that
// speaks it, with a warning when it gives no interval or holds lines that do
// not read as numbers. A change of the list reloads everything, and a figure
// whose script the list now names by another path speaks that one. Names the
// list gains or loses while the show runs are not added or removed. Needs
// the GL context.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "FileWatch.h"

class MyDemo;

class ContentReloader {
public:
    // How often the files are looked at, in seconds.
    static constexpr double kPollInterval = 0.1;

    // What one reload did. A reload that goes on in the background (the
    // music's) gives no message here and says its end itself.
    struct Outcome {
        std::string message;               // one line naming the file; empty while in the background
        bool kept = false;                 // it did not load: the show keeps the old version
        std::vector<std::string> notes;    // further lines a maker should read
    };
    using Reload = std::function<Outcome()>;

    // Records the resource list at `configPath`, every file it names and
    // every file beside it as they stand now: made before the show reads
    // them, the reloader sees a save during start-up.
    explicit ContentReloader(std::string configPath);

    // Reloads into `show` from now on: its textures, programs and the
    // scripts its figures speak. Gives the warnings on the scripts as they
    // stand.
    std::vector<std::string> attach(MyDemo& show);
    // Watches `path` too: `reload` runs when it changes, and on a reload of
    // everything.
    void watch(const std::string& path, Reload reload);

    // At most every kPollInterval seconds of `now`: reloads what changed
    // since the last look, one outcome per reload; none when nothing did.
    std::vector<Outcome> poll(double now);
    // Reads the resource list again and reloads everything; the outcome
    // names each file that kept its old version, with its reason.
    Outcome reloadAll();

private:
    // One reload and the files it reads.
    struct Binding {
        std::vector<std::string> paths;
        Reload reload;
        bool fromShow; // made from the list and the figures; remade with them
    };

    // Remakes the bindings of the list and the figures, after taking over
    // the list's new paths of dialog scripts.
    void bindShow();
    void bind(std::vector<std::string> paths, Reload reload, bool fromShow);
    Outcome reloadTexture(const std::string& name, const std::string& path);
    Outcome reloadProgram(const std::string& name, const std::string& fragment, const std::string& vertex);
    Outcome reloadDialog(const std::string& path);

    std::string configPath;
    FileWatch files;
    MyDemo* show = nullptr;
    std::vector<Binding> bindings;
    std::vector<std::string> moves; // the scripts the list named anew, for the next outcome
    double lastPoll = -1e9;
};
