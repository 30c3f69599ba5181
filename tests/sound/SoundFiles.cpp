#include "SoundFiles.h"

#include "TestFiles.h"
#include "characters/DialogScript.h"

#include <fstream>

std::vector<Interval> readScript(const std::string& path, bool* opened)
{
    std::ifstream in(path);
    if (opened)
        *opened = bool(in);
    std::vector<double> starts, ends;
    DialogScript::read(in, starts, ends);
    std::vector<Interval> intervals;
    for (size_t i = 0; i < starts.size(); ++i)
        intervals.push_back({starts[i], ends[i]});
    return intervals;
}

const std::vector<ScriptWindows>& showScripts()
{
    // The scene windows of the show and who each draws with lip sync. At the
    // party the rich man walks in from the right, his x at 219.781208 - t,
    // and may speak once his whole figure frame (0.6644 wide at scale 1,
    // drawn at 0.4) is inside the picture's right edge at x = 1; he dies at
    // 269.243 and says nothing more.
    static const double richManInPicture = 219.781208 - (1.0 - 0.6644 * 0.4 / 2.0);
    static const SpeakingWindow home{"Home", 5.417, 30.998719};
    static const SpeakingWindow telephone{"Telephone", 46.396776, 58.472094};
    static const SpeakingWindow funeral{"Funeral", 58.472094, 99.763199};
    static const SpeakingWindow cemetryDay{"CemetryDay", 105.962943, 125.251035};
    static const SpeakingWindow veryrichOffice{"VeryrichOffice", 125.251035, 168.851848};
    static const SpeakingWindow office{"Office", 168.851848, 180.157};
    static const SpeakingWindow shop{"Shop", 192.273103, 207.711681};
    static const SpeakingWindow party{"Party", 207.711681, 280.244632};
    static const SpeakingWindow partyAlive{"Party, in the picture and alive", richManInPicture, 269.243};
    static const std::vector<ScriptWindows> scripts = {
        {"harlan.dialog", {funeral, cemetryDay, veryrichOffice, office, shop, party}},
        {"vesna.dialog", {funeral, cemetryDay, veryrichOffice, office, shop, party}},
        {"prog.dialog", {home}},
        {"programmer.dialog", {home}},
        {"wife.dialog", {home, telephone, funeral, office}},
        {"sa.dialog", {shop}},
        {"veryrich.dialog", {veryrichOffice, partyAlive}},
    };
    return scripts;
}

std::string dataPath(const std::string& name)
{
    return sourceRoot() + "/data/" + name;
}

std::string screenplayPath()
{
    return sourceRoot() + "/content/sound/screenplay.txt";
}

std::string voiceStemPath()
{
    return soundWorkPath("voices.wav");
}

std::string soundWorkPath(const std::string& name)
{
    return std::string(QUORVANE_SOUND_WORK) + "/" + name;
}
