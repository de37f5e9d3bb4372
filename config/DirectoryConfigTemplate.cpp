// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/DirectoryConfigTemplate.h"

namespace {

constexpr uint32_t kStaticText = kAlignLeft | kGroup;
constexpr uint32_t kCenteredLabel = kAlignCenter | kCenterVertical | kGroup;
constexpr uint32_t kPathEdit = kBorder | kTabStop | kAutoHScroll;
constexpr uint32_t kNumberEdit = kPathEdit | kDigitsOnly;
// All four group boxes span x 7 to 253. The controls inside reach x 248 in every box, so a box
// ending at 248 would have its right edge covered by the combo box and the log browse button.
constexpr int kGroupWidth = 246;

DialogTemplate MakeTemplate() {
    DialogTemplate t;
    t.id = kDirectoryConfigTemplateId;
    t.caption = "Directory Configuration";
    t.fontFace = "MS Shell Dlg";
    t.fontPointSize = 8;
    t.width = 260;
    t.height = 387;
    t.style = kPopup | kCaption | kSystemMenu | kModalFrame | kShellFont | kSetForeground;
    t.controls = {
        {kIdBrowseHotFolder1, ControlKind::PushButton, "...", {221, 44, 27, 10}, kTabStop},
        {kIdOk, ControlKind::DefaultPushButton, "OK", {203, 365, 50, 15}, kTabStop},
        {kIdCancel, ControlKind::PushButton, "Cancel", {7, 365, 50, 15}, kTabStop},
        {kNoControlId, ControlKind::GroupBox, "Hot Folders", {7, 8, kGroupWidth, 81}, 0},
        {kIdBrowseHotFolder2, ControlKind::PushButton, "...", {221, 54, 27, 10}, kTabStop},
        {kIdBrowseHotFolder3, ControlKind::PushButton, "...", {221, 64, 27, 10}, kTabStop},
        {kIdBrowseHotFolder4, ControlKind::PushButton, "...", {221, 74, 27, 10}, kTabStop},
        {kNoControlId,
         ControlKind::StaticText,
         "Check the folders that you want to be searched for images automatically. Click the "
         "\"...\" button to select a directory for each entry.",
         {13, 19, 235, 20},
         kStaticText},
        {kNoControlId, ControlKind::GroupBox, "Timestamp Tolerance", {7, 90, kGroupWidth, 46}, 0},
        {kNoControlId,
         ControlKind::StaticText,
         "Match timestamps with this tolerance:",
         {13, 103, 125, 10},
         kStaticText},
        {kIdToleranceHoursEdit, ControlKind::Edit, "", {73, 115, 60, 14}, kNumberEdit},
        {kNoControlId, ControlKind::StaticText, "Hours:", {13, 115, 54, 14}, kCenteredLabel},
        {kNoControlId, ControlKind::StaticText, "Minutes:", {138, 115, 54, 14}, kCenteredLabel},
        {kIdToleranceMinutesEdit, ControlKind::Edit, "", {188, 115, 60, 14}, kNumberEdit},
        {kNoControlId, ControlKind::GroupBox, "Logging", {7, 199, kGroupWidth, 34}, 0},
        {kIdBrowseLogfileDir, ControlKind::PushButton, "...", {221, 209, 27, 10}, kTabStop},
        {kIdUseLogfileCheck, ControlKind::CheckBox, "Logs directory:", {13, 210, 61, 8}, kTabStop},
        {kNoControlId, ControlKind::GroupBox, "Timezones", {7, 140, kGroupWidth, 53}, 0},
        {kNoControlId,
         ControlKind::StaticText,
         "Select your picture's timestamp timezone.",
         {13, 151, 235, 10},
         kStaticText},
        {kIdTimeZoneCombo,
         ControlKind::ComboBox,
         "",
         {13, 164, 235, 78},
         kDropDown | kSorted | kVScroll | kTabStop},
        {kIdHotFolderEdit1, ControlKind::Edit, "", {13, 44, 200, 10}, kPathEdit},
        {kIdHotFolderEdit2, ControlKind::Edit, "", {13, 54, 200, 10}, kPathEdit},
        {kIdHotFolderEdit3, ControlKind::Edit, "", {13, 64, 200, 10}, kPathEdit},
        {kIdHotFolderEdit4, ControlKind::Edit, "", {13, 74, 200, 10}, kPathEdit},
        {kIdLogfileDirEdit, ControlKind::Edit, "", {73, 208, 140, 12}, kPathEdit},
        {kIdLogfileProblem, ControlKind::StaticText, "", {13, 222, 235, 8}, kStaticText},
        {kNoControlId, ControlKind::GroupBox, "Camera clock", {7, 237, kGroupWidth, 66}, 0},
        {kNoControlId,
         ControlKind::StaticText,
         "Correction in seconds:",
         {13, 250, 80, 10},
         kStaticText},
        {kIdClockCorrectionEdit, ControlKind::Edit, "", {93, 248, 40, 12}, kPathEdit},
        {kIdClockCorrectionWords, ControlKind::StaticText, "", {138, 250, 110, 10}, kStaticText},
        {kIdSetClockFromPhoto,
         ControlKind::PushButton,
         "Set from a photo...",
         {13, 263, 80, 13},
         kTabStop},
        {kIdPreviewOnMap,
         ControlKind::PushButton,
         "Preview on map...",
         {98, 263, 80, 13},
         kTabStop},
        {kIdUsePhotoTimeZoneCheck,
         ControlKind::CheckBox,
         "Use the time zone the photo records",
         {13, 280, 235, 10},
         kTabStop},
        {kIdFollowDaylightSavingCheck,
         ControlKind::CheckBox,
         "Follow daylight saving",
         {13, 291, 235, 10},
         kTabStop},
        {kIdReplaceRecordedPositionsCheck,
         ControlKind::CheckBox,
         "Replace positions the photos already carry",
         {13, 307, 235, 10},
         kTabStop},
        {kIdRawSidecarsCheck,
         ControlKind::CheckBox,
         "Write the positions of RAW photos into XMP sidecar files",
         {13, 318, 235, 10},
         kTabStop},
        {kNoControlId, ControlKind::GroupBox, "Placement", {7, 331, kGroupWidth, 28}, 0},
        {kIdInterpolateCheck,
         ControlKind::CheckBox,
         "Place photos between track points",
         {13, 343, 140, 10},
         kTabStop},
        {kNoControlId,
         ControlKind::StaticText,
         "Largest gap (min):",
         {156, 343, 62, 10},
         kStaticText},
        {kIdMaxGapEdit, ControlKind::Edit, "", {218, 341, 30, 12}, kNumberEdit},
    };
    return t;
}

}  // namespace

const DialogTemplate& DirectoryConfigTemplate() {
    static const DialogTemplate kTemplate = MakeTemplate();
    return kTemplate;
}

int BrowseTargetOf(int buttonId) {
    switch (buttonId) {
        case kIdBrowseHotFolder1:
            return kIdHotFolderEdit1;
        case kIdBrowseHotFolder2:
            return kIdHotFolderEdit2;
        case kIdBrowseHotFolder3:
            return kIdHotFolderEdit3;
        case kIdBrowseHotFolder4:
            return kIdHotFolderEdit4;
        case kIdBrowseLogfileDir:
            return kIdLogfileDirEdit;
        default:
            return kNoControlId;
    }
}
