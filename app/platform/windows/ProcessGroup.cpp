#include "../ProcessGroup.h"

// The content build from the player runs make and shell tools in a process
// group of their own; Windows has neither, so the maker builds by hand.

const char* ProcessGroup::unavailable()
{
    return "building the content from the player is not available on Windows";
}

ProcessGroup::~ProcessGroup() = default;

ProcessGroup::Start ProcessGroup::start(const std::vector<std::string>&, const std::string&, std::string& error)
{
    error = unavailable();
    return Start::Failed;
}

bool ProcessGroup::running() const
{
    return false;
}

bool ProcessGroup::ended(bool&)
{
    return false;
}

void ProcessGroup::end()
{
}

bool ProcessGroup::reap()
{
    return false;
}

void ProcessGroup::endGroup()
{
}

void ProcessGroup::unlock()
{
}
