#include "ToolMain.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "UsageError.h"

ToolMain::ToolMain(std::string name, std::string help)
    : name(std::move(name))
    , help(std::move(help))
{
}

int ToolMain::run(int argc, char** argv, const Body& body) const
{
    try {
        return body(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const InfoRequest& request) {
        if (request.what == InfoRequest::Help)
            std::fputs(help.c_str(), stdout);
        else
            std::printf("%s %s\n", name.c_str(), QUORVANE_VERSION);
        return kSuccess;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", name.c_str(), error.what(),
            name.c_str());
        return kUsage;
    } catch (const std::exception& error) {
        report(error.what());
        return kFailure;
    }
}

void ToolMain::report(const std::string& message) const
{
    std::fprintf(stderr, "%s: %s\n", name.c_str(), message.c_str());
}
