#include "HeardMusic.h"

#include <algorithm>

void HeardMusic::add(double at, double position, double run)
{
    list.push_back({at, position, run});
}

double HeardMusic::at(double time) const
{
    if (list.size() < 2 || time < list.front().at || time >= list.back().at)
        return -1.0;
    if (list[from].at > time)
        from = 0;
    while (from + 1 < list.size() && list[from + 1].at <= time)
        ++from;
    const Anchor& anchor = list[from];
    if (anchor.run < 0.0 || list[from + 1].position - anchor.position > anchor.run + 1e-9)
        return -1.0;
    return anchor.position + std::min(time - anchor.at, anchor.run);
}
