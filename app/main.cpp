// SPDX-License-Identifier: GPL-3.0-or-later
// Fenrik: tags photos with the positions of a GPS track.
#include <unistd.h>

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/CFenrikApp.h"
#include "app/CommandLine.h"
#include "app/PreviewCommand.h"
#include "app/TagCommand.h"
#include "platform/DebugOutput.h"
#include "settings/ProfileStore.h"

namespace {

constexpr char kNoDisplay[] =
    "fenrik: no display to open the window on; `fenrik --tag` runs without one\n";

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// Qt ends the process when no platform can be started (a display that does not answer): one
// line of our own instead, and a plain exit.
void SayNoDisplayOnPlatformFailure(QtMsgType type, const QMessageLogContext& context,
                                   const QString& message) {
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(kExitCompletedWithErrors);
    }
    const bool platformNoise =
        context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtDebugMsg || type == QtInfoMsg || platformNoise) {
        OutputDebugStringA(message.toStdString() + "\n");
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

bool DisplayToOpenOn() {
    if (!IsSet("QT_QPA_PLATFORM") && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
        std::fputs(kNoDisplay, stderr);
        return false;
    }
    qInstallMessageHandler(SayNoDisplayOnPlatformFailure);
    return true;
}

int RunWindow(int argc, char** argv) {
    if (!DisplayToOpenOn()) {
        return kExitCompletedWithErrors;
    }
    CFenrikApp app(argc, argv);
    if (app.InitInstance()) {
        app.Run();
    }
    return app.ExitInstance();
}

// The preview's window; Qt is given only the program's name, the options being ours.
int RunPreview(char* program, const CommandLine& line) {
    if (!DisplayToOpenOn()) {
        return kExitCompletedWithErrors;
    }
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileId));
    ProfileStore profile(UserProfilePath(kCompanyName, ExecutableBaseName()));
    return PreviewFromCommandLine(line, profile, std::cout, std::cerr);
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
        case CommandLine::Mode::Preview:
            return RunPreview(argv[0], line);
        case CommandLine::Mode::Window:
        default:
            return RunWindow(argc, argv);
    }
}
