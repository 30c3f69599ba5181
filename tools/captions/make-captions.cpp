// make-captions: writes the show's captions as WebVTT from the screenplay
// (lines, the speakers' names, stage directions) and the line table of
// speak-screenplay (where each voice ends), timed against the show's scene
// cuts by CaptionTiming. Fails naming the screenplay's line whose caption
// breaks a rule, and then leaves the old file as it was.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ArgumentReader.h"
#include "CaptionTiming.h"
#include "LineTable.h"
#include "Screenplay.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "show/SceneWindows.h"

namespace {

const char* const kUsage =
    "usage: make-captions SCREENPLAY LINES.tsv CAPTIONS.vtt\n"
    "Writes the captions of SCREENPLAY as WebVTT: one cue per spoken line, its\n"
    "speaker's name first, and one per stage direction, in square brackets.\n"
    "LINES.tsv is speak-screenplay's table of the spoken lines (start, end,\n"
    "speaker, script, text): a cue stays 0.8 s after its voice ends, at least\n"
    "1.5 s, long enough to read at 17 characters a second, never past the next\n"
    "cue or a scene cut; at most two lines of 42 characters. A line whose\n"
    "caption cannot keep these rules is named and nothing is written.\n"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

// Where each voice of `play` ends, from speak-screenplay's table, which must
// hold the screenplay's lines in order.
std::vector<double> voiceEnds(const Screenplay& play, const std::string& path)
{
    const std::vector<SpokenLine> spoken = readLineTable(path);
    std::vector<double> ends;
    for (size_t i = 0; i < spoken.size(); ++i) {
        if (i >= play.lines.size() || std::fabs(spoken[i].start - play.lines[i].start) > 5e-4 ||
            spoken[i].text != play.lines[i].text)
            throw std::runtime_error(path + ":" + std::to_string(i + 1) + ": does not match " +
                                     play.where(i < play.lines.size() ? play.lines[i].sourceLine : 0) +
                                     "speak the screenplay again");
        ends.push_back(spoken[i].end);
    }
    if (ends.size() != play.lines.size())
        throw std::runtime_error(path + ": holds " + std::to_string(ends.size()) + " lines, the screenplay " +
                                 std::to_string(play.lines.size()) + "; speak the screenplay again");
    return ends;
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();)
        operands.push_back(args.operand());
    if (operands.size() != 3)
        throw UsageError("needs a screenplay, a line table and the captions file to write");
    const Screenplay play = loadScreenplay(operands[0]);
    const std::vector<double> cuts(std::begin(SceneWindows::kBoundaries), std::end(SceneWindows::kBoundaries));
    const quorvane_engine::CueList cues = CaptionTiming::make(play, voiceEnds(play, operands[1]), cuts);

    // Written beside and renamed, so that a player reading it never sees half.
    const std::string& path = operands[2];
    const std::string partial = path + ".partial";
    {
        // Checked after closing: the last of the text reaches the disk only then.
        std::ofstream out(partial, std::ios::binary);
        out << cues.toWebVtt();
        out.close();
        if (!out) {
            std::remove(partial.c_str());
            throw std::runtime_error(partial + ": cannot write");
        }
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0)
        throw std::runtime_error(path + ": cannot write");
    std::fprintf(stderr, "make-captions: %zu cues (%zu spoken lines, %zu stage directions) in %s\n", cues.cues.size(),
        play.lines.size(), play.directions.size(), path.c_str());
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("make-captions", kUsage).run(argc, argv, run);
}
