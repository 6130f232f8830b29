#pragma once

#include "EditorCore/WinTypes.h"

// Numbers the module shares with its host and with the other modules: its identity,
// framework messages, menu commands, dialog templates, controls and icons.
namespace Tarvel::Ids {

using EditorCore::UINT;

// The module.
inline constexpr UINT kModuleId = 32;
inline constexpr const char* kModuleName = "Tarvel";
inline constexpr const char* kModuleVersion = "P1.7.0";
inline constexpr const char* kSection = "Tarvel";
inline constexpr UINT kClipCreatorModule = 0x80000000u;
inline constexpr UINT kViewerModule = 0x10000000u;
inline constexpr int kIconSize = 18;
inline constexpr int kResourceDataType = 10;
inline constexpr UINT kAnimClipKind = 9;

// Framework messages.
inline constexpr UINT kMsgNothing = 2;
inline constexpr UINT kMsgCloseAll = 3;
inline constexpr UINT kMsgCollectUnsaved = 4;
inline constexpr UINT kMsgSceneSelection = 2225;
inline constexpr UINT kMsgAutoRecord = 2228;
inline constexpr UINT kMsgChannelCreated = 2232;
inline constexpr UINT kMsgSceneOpened = 2249;
inline constexpr UINT kMsgSceneChanged = 2250;
inline constexpr UINT kMsgResourcesSaved = 2255;
inline constexpr UINT kMsgViewerRedraw = 2324;
inline constexpr UINT kMsgViewerSelection = 2326;
inline constexpr UINT kMsgCreateClip = 3036;
inline constexpr UINT kMsgOpenClip = 3524;
inline constexpr UINT kMsgKeyFrameRange = 3526;
inline constexpr UINT kMsgRecordKey = 3527;

// Private window messages from the frame to its tab host.
inline constexpr UINT kWndOpenClip = 3524;
inline constexpr UINT kWndCloseClip = 3525;

// Menu commands.
inline constexpr UINT kCmdClipCreate = 16654;
inline constexpr UINT kCmdClipOpen = 16655;
inline constexpr UINT kCmdClipSave = 16657;
inline constexpr UINT kCmdClipSaveAll = 16658;
inline constexpr UINT kCmdClipClose = 16659;
inline constexpr UINT kCmdClipCloseAll = 16660;
inline constexpr UINT kCmdChannelCreate = 16664;
inline constexpr UINT kCmdChannelEdit = 16665;
inline constexpr UINT kCmdChannelRemove = 16666;
inline constexpr UINT kCmdAddPoint = 16674;
inline constexpr UINT kCmdRemoveAllPoints = 16675;
inline constexpr UINT kCmdTrackScale = 16676;
inline constexpr UINT kCmdTrackSubdivise = 16677;
inline constexpr UINT kCmdTrackSmooth = 16678;
inline constexpr UINT kCmdTrackFlip = 16679;
inline constexpr UINT kCmdTrackSubSample = 16680;
inline constexpr UINT kCmdCopyPoints = 16684;
inline constexpr UINT kCmdPastePoints = 16685;
inline constexpr UINT kCmdRemovePoints = 16686;
inline constexpr UINT kCmdSelectionScale = 16687;
inline constexpr UINT kCmdSelectionSubdivise = 16688;
inline constexpr UINT kCmdSelectionSubSample = 16689;
inline constexpr UINT kCmdSelectionSmooth = 16690;
inline constexpr UINT kCmdSelectionFlip = 16691;
inline constexpr UINT kCmdTabClose = 16735;
inline constexpr UINT kCmdTabCloseOthers = 16736;
// The channel list's context menu reuses these numbers for its own commands.
inline constexpr UINT kCmdListChannelCreate = 16674;
inline constexpr UINT kCmdListChannelEdit = 16675;
inline constexpr UINT kCmdListChannelRemove = 16676;

// Dialog templates.
inline constexpr UINT kTplPage = 1010;
inline constexpr UINT kTplTabHost = 1025;
inline constexpr UINT kTplOpenPane = 1107;
inline constexpr UINT kTplFrame = 1108;

// Controls of the clip page.
inline constexpr UINT kCtlFilterLabel = 1016;
inline constexpr UINT kCtlFilterEdit = 1020;
inline constexpr UINT kCtlFilterTranslation = 1028;
inline constexpr UINT kCtlFilterRotation = 1029;
inline constexpr UINT kCtlFilterScale = 1030;
inline constexpr UINT kCtlFilterX = 1032;
inline constexpr UINT kCtlFilterY = 1033;
inline constexpr UINT kCtlFilterZ = 1034;
inline constexpr UINT kCtlChannelList = 1;
inline constexpr UINT kCtlTrackList = 2;
inline constexpr UINT kCtlVerticalSplitter = 3;
inline constexpr UINT kCtlHorizontalSplitter = 4;
// Controls of the empty-state pane.
inline constexpr UINT kCtlOpenButton = 1026;
inline constexpr UINT kCtlOpenLabel = 1027;

// The module's own icons.
inline constexpr UINT kIconModule = 1004;
inline constexpr UINT kIconTranslation = 1007;
inline constexpr UINT kIconRotation = 1009;
inline constexpr UINT kIconScale = 1010;
inline constexpr UINT kIconZ = 1011;
inline constexpr UINT kIconX = 1012;
inline constexpr UINT kIconY = 1013;
inline constexpr UINT kIconFirstTrack = 1014;  // translation X .. scale Z: 1014 to 1022
inline constexpr UINT kIconFlip = 1030;
inline constexpr UINT kIconSubdivise = 1031;

// Host theme indices.
inline constexpr int kThemeBackground = 10;
inline constexpr int kThemeBottomBand = 101;
inline constexpr int kThemeOpenIcon = 307;

// Row records of the lists carry this tag; rows without it are not drawn by the lists.
inline constexpr UINT kRowTag = 4126;

}  // namespace Tarvel::Ids
