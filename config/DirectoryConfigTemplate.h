// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog template 9: the "Directory Configuration" dialog, with the ids of its controls.

#include "config/DialogTemplate.h"

inline constexpr int kDirectoryConfigTemplateId = 9;

// Control ids; OK and Cancel carry the dialog results.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdUseLogfileCheck = 1001;
inline constexpr int kIdBrowseHotFolder1 = 1005;
inline constexpr int kIdBrowseHotFolder2 = 1007;
inline constexpr int kIdBrowseHotFolder3 = 1008;
inline constexpr int kIdBrowseHotFolder4 = 1009;
inline constexpr int kIdBrowseLogfileDir = 1010;
inline constexpr int kIdToleranceHoursEdit = 1017;
inline constexpr int kIdToleranceMinutesEdit = 1018;
inline constexpr int kIdTimeZoneCombo = 1030;
inline constexpr int kIdHotFolderEdit1 = 1031;
inline constexpr int kIdHotFolderEdit2 = 1032;
inline constexpr int kIdHotFolderEdit3 = 1033;
inline constexpr int kIdHotFolderEdit4 = 1034;
inline constexpr int kIdLogfileDirEdit = 1035;
inline constexpr int kIdClockCorrectionEdit = 1040;
inline constexpr int kIdClockCorrectionWords = 1041;
inline constexpr int kIdSetClockFromPhoto = 1042;
inline constexpr int kIdUsePhotoTimeZoneCheck = 1043;
inline constexpr int kIdFollowDaylightSavingCheck = 1044;
inline constexpr int kIdReplaceRecordedPositionsCheck = 1045;
inline constexpr int kIdRawSidecarsCheck = 1046;

// The dialog: 260 x 345 dialog units, "MS Shell Dlg" 8 point, 35 controls in tab order.
const DialogTemplate& DirectoryConfigTemplate();

// The edit that browse button `buttonId` fills; kNoControlId for any other id.
int BrowseTargetOf(int buttonId);
