// SPDX-License-Identifier: GPL-3.0-or-later
// Fenrik: tags photos with the positions of a GPS track.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/CFenrikApp.h"
#include "app/CommandLine.h"
#include "app/TagCommand.h"
#include "settings/ProfileStore.h"

namespace {

int RunWindow(int argc, char** argv) {
    CFenrikApp app(argc, argv);
    if (app.InitInstance()) {
        app.Run();
    }
    return app.ExitInstance();
}

}  // namespace

int main(int argc, char** argv) {
    // The command line is read before any Qt application exists: only the window needs a
    // display.
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.mode) {
        case CommandLine::Mode::Help:
            std::cout << UsageText();
            return kExitCompleted;
        case CommandLine::Mode::Version:
            std::cout << VersionText();
            return kExitCompleted;
        case CommandLine::Mode::BadUsage:
            std::cerr << line.error << '\n';
            return kExitBadUsage;
        case CommandLine::Mode::Tag: {
            const ProfileStore profile(UserProfilePath(kCompanyName, ExecutableBaseName()));
            return TagFromCommandLine(line, profile, std::cout, std::cerr,
                                      isatty(STDOUT_FILENO) == 1);
        }
        case CommandLine::Mode::Window:
        default:
            return RunWindow(argc, argv);
    }
}
