// Live reload for the makers' player: watches the files the resource list
// names (images, shader sources, dialog scripts) and the list itself by
// their modification times, and reloads what changed in place: an image into
// the same texture, a shader program rebuilt into the same ShaderProgram (the
// old program stays when the new one does not build; the GL diagnostics are
// printed as at start-up), a dialog script re-read by every character that
// uses it. A change of the list reloads everything. Names the list gains or
// loses while the show runs are not added or removed. Needs the GL context.
#pragma once

#include <functional>
#include <string>
#include <vector>

class MyDemo;

class ContentReloader {
public:
    // How often the files are looked at, in seconds.
    static constexpr double kPollInterval = 0.25;

    // Watches the files of `show`'s resource list, as they stand now.
    explicit ContentReloader(MyDemo& show);

    // At most every kPollInterval seconds of `now`: reloads the files
    // changed since the last look. Gives one message per reload, empty when
    // nothing changed.
    std::vector<std::string> poll(double now);
    // Reads the resource list again and reloads everything it names; the
    // message of the reload.
    std::string reloadAll();

    // Also watches `path`, a file the list does not name: when it changes
    // (and at reloadAll), calls `reload`, whose message poll gives.
    void watch(const std::string& path, std::function<std::string()> reload);

private:
    enum class Kind { Texture, Shader, Dialog };
    struct Watched {
        Kind kind;
        std::string name;
        std::string paths[2]; // a shader's fragment and vertex sources
        long long stamps[2];
    };

    // Reads the list and records every entry with its files' present times.
    void watchList();
    // Reloads one entry; its message.
    std::string reload(const Watched& entry);
    static long long stamp(const std::string& path);

    struct Extra {
        std::string path;
        std::function<std::string()> reload;
        long long stamp;
    };

    MyDemo& show;
    std::vector<Watched> watched;
    std::vector<Extra> extras;
    long long listStamp = 0;
    double lastPoll = -1e9;
};
