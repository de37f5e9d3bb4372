// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

constexpr size_t kMaxFolders = 4;

bool IsDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::optional<bool> ParseSwitch(const std::string& value) {
    if (value == "on") {
        return true;
    }
    if (value == "off") {
        return false;
    }
    return std::nullopt;
}

std::optional<int> ParseSeconds(const std::string& value) {
    const size_t digits = value.find_first_not_of("+-") == 1 ? 1 : 0;
    if (value.size() > 12 || !IsDigits(value.substr(digits))) {
        return std::nullopt;
    }
    errno = 0;
    const long seconds = std::strtol(value.c_str(), nullptr, 10);
    if (errno != 0 || seconds < INT_MIN || seconds > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(seconds);
}

// "H:MM" into hours and minutes texts; minutes below 60.
bool ParseTolerance(const std::string& value, CommandLine& line) {
    const size_t colon = value.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string hours = value.substr(0, colon);
    const std::string minutes = value.substr(colon + 1);
    if (!IsDigits(hours) || hours.size() > 4 || !IsDigits(minutes) || minutes.size() > 2 ||
        std::atoi(minutes.c_str()) > 59) {
        return false;
    }
    line.toleranceHours = hours;
    line.toleranceMinutes = minutes;
    return true;
}

// Sets one --tag option from its value; false when the value has the wrong form.
using OptionSetter = std::function<bool(const std::string&, CommandLine&)>;

template <class T>
OptionSetter Switch(std::optional<T> CommandLine::*member) {
    return [member](const std::string& value, CommandLine& line) {
        const std::optional<bool> on = ParseSwitch(value);
        line.*member = on;
        return on.has_value();
    };
}

OptionSetter Text(std::optional<std::string> CommandLine::*member) {
    return [member](const std::string& value, CommandLine& line) {
        line.*member = value;
        return !value.empty();
    };
}

const std::map<std::string, std::pair<const char*, OptionSetter>>& TagOptions() {
    static const std::map<std::string, std::pair<const char*, OptionSetter>> kOptions = {
        {"--gpx", {"a file or folder", Text(&CommandLine::gpx)}},
        {"--folder",
         {"a folder",
          [](const std::string& value, CommandLine& line) {
              line.folders.push_back(value);
              return !value.empty();
          }}},
        {"--tolerance", {"H:MM", ParseTolerance}},
        {"--zone", {"a time zone name", Text(&CommandLine::zone)}},
        {"--photo-zone", {"on or off", Switch(&CommandLine::photoZone)}},
        {"--daylight-saving", {"on or off", Switch(&CommandLine::daylightSaving)}},
        {"--clock-correction",
         {"whole seconds",
          [](const std::string& value, CommandLine& line) {
              line.clockCorrectionSeconds = ParseSeconds(value);
              return line.clockCorrectionSeconds.has_value();
          }}},
        {"--replace-positions", {"on or off", Switch(&CommandLine::replacePositions)}},
        {"--raw-sidecars", {"on or off", Switch(&CommandLine::rawSidecars)}},
        {"--log", {"a folder", Text(&CommandLine::logDir)}},
        {"--interpolate", {"on or off", Switch(&CommandLine::interpolate)}},
        {"--max-gap",
         {"whole seconds above 0",
          [](const std::string& value, CommandLine& line) {
              line.maxGapSeconds = ParseSeconds(value);
              return line.maxGapSeconds.has_value() && *line.maxGapSeconds > 0;
          }}},
        {"--export-gpx", {"a file", Text(&CommandLine::exportGpx)}},
    };
    return kOptions;
}

CommandLine BadUsage(const std::string& message) {
    CommandLine line;
    line.mode = CommandLine::Mode::BadUsage;
    line.error = "fenrik: " + message;
    return line;
}

bool HasDoubleDashArgument(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument.rfind("--", 0) == 0 || argument == "-h") {
            return true;
        }
    }
    return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (!HasDoubleDashArgument(arguments)) {
        return line;
    }
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        line.mode = CommandLine::Mode::Help;
        return line;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        line.mode = CommandLine::Mode::Version;
        return line;
    }
    std::optional<CommandLine::Mode> pass;
    std::map<std::string, int> seen;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--tag" || option == "--preview") {
            const auto mode =
                option == "--tag" ? CommandLine::Mode::Tag : CommandLine::Mode::Preview;
            if (pass) {
                return BadUsage(*pass == mode
                                    ? option + " given twice"
                                    : std::string("--tag and --preview do not go together"));
            }
            pass = mode;
            continue;
        }
        if (option == "--help" || option == "-h" || option == "--version") {
            return BadUsage(option + " stands alone");
        }
        if (option == "--dry-run" || option == "--verbose") {
            bool& flag = option == "--dry-run" ? line.dryRun : line.verbose;
            if (flag) {
                return BadUsage(option + " given twice");
            }
            flag = true;
            continue;
        }
        const auto known = TagOptions().find(option);
        if (known == TagOptions().end()) {
            return BadUsage(option.rfind("-", 0) == 0 ? "unknown option " + option
                                                      : "unexpected argument " + option);
        }
        if (++seen[option] > 1 && option != "--folder") {
            return BadUsage(option + " given twice");
        }
        if (i + 1 >= arguments.size()) {
            return BadUsage(option + " needs " + known->second.first);
        }
        if (!known->second.second(arguments[++i], line)) {
            return BadUsage(option + " takes " + known->second.first + ", not \"" + arguments[i] +
                            "\"");
        }
    }
    if (!pass) {
        return BadUsage("options need --tag or --preview");
    }
    if (line.folders.size() > kMaxFolders) {
        return BadUsage("--folder given more than four times");
    }
    line.mode = *pass;
    line.verbose = line.verbose || line.dryRun;
    return line;
}

std::string UsageText() {
    return "Usage: fenrik                 open the window\n"
           "       fenrik --tag [OPTION]...  run one tagging pass without a window\n"
           "       fenrik --preview [OPTION]...  show the photos on a map first; \"Tag now\"\n"
           "                                 there runs the pass as --tag would\n"
           "       fenrik --help | --version\n"
           "\n"
           "The tagging pass uses the stored settings for anything not given here; the options\n"
           "change only this run, never the stored settings (only the preview's \"Use these\n"
           "settings\" stores its camera clock and placement settings).\n"
           "  --gpx PATH                  the track (GPX, FIT, TCX, KML, a location history...),\n"
           "                              or a folder of tracks and photos with positions\n"
           "  --folder DIR                a folder of photos (up to four; replaces the hot\n"
           "                              folders for this run)\n"
           "  --tolerance H:MM            matching tolerance in hours and minutes\n"
           "  --zone NAME                 the camera's time zone, e.g. Europe/Berlin\n"
           "  --photo-zone on|off         use the time offset a photo records itself\n"
           "  --daylight-saving on|off    follow the zone's summer time\n"
           "  --clock-correction SECONDS  how far the camera clock was ahead (negative: behind)\n"
           "  --replace-positions on|off  replace positions the photos already carry\n"
           "  --raw-sidecars on|off       write the positions of RAW photos into XMP sidecars\n"
           "  --log DIR                   write fenrik.log into DIR\n"
           "  --interpolate on|off        place photos between track points\n"
           "  --max-gap SECONDS           the longest time between two points a photo is placed\n"
           "                              between (default 1800)\n"
           "  --dry-run                   do everything but write: no photo or sidecar changes\n"
           "  --verbose                   a line for each photo: outcome, position, how it was\n"
           "                              placed, offset and path, tab-separated\n"
           "  --export-gpx FILE           write the photos' positions as GPX waypoints\n"
           "\n"
           "Exit status: 0 when the run completed, 1 when it completed but reported an error,\n"
           "2 for bad usage.\n";
}

std::string VersionText() {
    return std::string("fenrik ") + FENRIK_VERSION + "\nLicence: GPL-3.0-or-later\n";
}
