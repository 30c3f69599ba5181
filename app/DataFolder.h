// Where the show finds data/ when -C does not say. The working directory
// comes first, as ever; when it holds no data/config.txt, the copy installed
// with the program: <program's folder>/../share/quorvane (an installed
// package, or an unpacked archive wherever it was moved), then the program's
// own folder (the Windows download, started from another folder). Only
// looks at files; the caller changes into the folder it gives.
#pragma once

#include <string>

class DataFolder {
public:
    // The resource list every candidate folder is tested for.
    static constexpr const char* kMarker = "data/config.txt";

    // The folder to play in: empty when the working directory holds
    // data/config.txt, or when no installed copy beside `programFolder` does
    // (the show then reports the missing resource list as before).
    static std::string find(const std::string& programFolder);

    // The folder the running program's file lies in, from SDL; empty when
    // the system does not say.
    static std::string programFolder();
};
