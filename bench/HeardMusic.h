// The music heard, as wall time against music position: a run of anchors,
// each a moment at which the music heard was at a known position, from
// which it runs on evenly for at most a given time (then the device had
// nothing more of it until the next anchor), or of which nothing is known
// until the next anchor. Built from a recording's clicks or from a silent
// driver's pace; knows nothing of either.
#pragma once

#include <cstddef>
#include <vector>

class HeardMusic {
public:
    // From wall time `at` (seconds of SDL's fine counter) the music heard
    // runs on from `position` for at most `run` seconds; a negative `run`:
    // from `position` on in some way not known. Anchors come in rising time.
    void add(double at, double position, double run);

    // The music heard at wall time `at`; negative before the first anchor,
    // after the last, where it is not known, and where the next anchor's
    // position is further on than the run (a click was lost). Asked at
    // rising times it runs in constant time.
    double at(double at) const;

    size_t anchors() const { return list.size(); }

private:
    struct Anchor {
        double at;
        double position;
        double run;
    };
    std::vector<Anchor> list;
    mutable size_t from = 0;
};
