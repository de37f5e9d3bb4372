// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AccessibleTexts.h"

#include "resources/MainWindowLayout.h"

namespace {

struct FixedTexts {
    int id;
    const char* name;
    const char* description;
};

const FixedTexts kFixedTexts[] = {
    {kIdClose, "Close", "Closes Fenrik"},
    {kIdMinimize, "Minimize", "Minimizes the window"},
    {kIdStart, "Start tagging",
     "Writes the GPS position into the photos of every hot folder that is on, from the GPX file"},
    {kIdHelp, "Help", "Opens the online help page in the web browser"},
    {kIdDeviceConfig, "GPX file", "Chooses the GPX file that the GPS logger recorded"},
    {kIdDirConfig, "Folders and settings",
     "Sets the hot folders, the tolerance, the camera's time zone and the log file"},
    {kIdHomePage, "Home page", "Opens Fenrik's home page in the web browser"},
    {kIdDeviceField, "",
     "The GPX file that the next run reads; choose it with the GPX file button or drop it on "
     "the window"},
    {kIdSpinner, "Busy indicator", "Turns while photos are being tagged"},
};

const FixedTexts* FixedTextsOf(int id) {
    for (const FixedTexts& texts : kFixedTexts) {
        if (texts.id == id) {
            return &texts;
        }
    }
    return nullptr;
}

}  // namespace

std::string HotFolderAccessibleName(int n) {
    return "Hot folder " + std::to_string(n);
}

std::string HotFolderAccessibleDescription(const std::string& path) {
    return path.empty() ? std::string("no folder set") : path;
}

std::string GpxFileAccessibleName(const std::string& path) {
    return "GPX file: " + (path.empty() ? std::string("none chosen") : path);
}

std::string StatusAccessibleName(const std::string& status) {
    return "Status: " + status;
}

std::string ControlAccessibleName(int id) {
    const FixedTexts* texts = FixedTextsOf(id);
    return texts != nullptr ? texts->name : "";
}

std::string ControlAccessibleDescription(int id) {
    if (id >= kIdHotFolderField1 && id < kIdHotFolderField1 + 4) {
        return "The photos directly in this folder are tagged while the hot folder is on";
    }
    if (id >= kIdHotFolderCheck1 && id < kIdHotFolderCheck1 + 4) {
        return "Switches hot folder " + std::to_string(id - kIdHotFolderCheck1 + 1) + " on or off";
    }
    const FixedTexts* texts = FixedTextsOf(id);
    return texts != nullptr ? texts->description : "";
}

std::string ControlToolTip(int id) {
    if (id >= kIdHotFolderCheck1 && id < kIdHotFolderCheck1 + 4) {
        return ControlAccessibleDescription(id);
    }
    return id >= kIdClose && id <= kIdHomePage ? ControlAccessibleName(id) : "";
}
