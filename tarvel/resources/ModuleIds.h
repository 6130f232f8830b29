#pragma once

#include <cstdint>

#include "EditorCore/Color.h"
#include "EditorCore/WinTypes.h"

// Every fixed number of the module: what it shares with its host and with the other modules
// (identity, framework messages, menu commands), its own resources (dialog templates,
// controls, icons), the host theme entries it draws with, its notification codes, timers,
// colours and units.
namespace Tarvel::Ids {

using EditorCore::COLORREF;
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
// Scene searches ask for objects of every type.
inline constexpr std::uint32_t kAllObjectTypes = 0x7FFFFFFF;

// Framework messages.
inline constexpr UINT kMsgNothing = 2;
inline constexpr UINT kMsgCloseAll = 3;
inline constexpr UINT kMsgCollectUnsaved = 4;
inline constexpr UINT kMsgSceneSelection = 2225;
inline constexpr UINT kMsgPoseApplied = 2228;
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
// wParam: a clip whose contents the host read again from its file.
inline constexpr UINT kMsgClipReloaded = 3528;
// wParam: a std::string the current page's curves are written into as comma-separated text
// (CurveExport); the module returns 1 when a page was there to write.
inline constexpr UINT kMsgExportCurves = 3529;
// wParam: a std::string "CHANNEL\nTRACK\nAXIS\nFRAME" (TRACK a CurveInfo track type, AXIS a
// component or a morph target's name) that the module replaces by the slopes "IN OUT" of the
// current page's key there, in value per frame (CurveExport::KeySlopes); 1 when it has one.
inline constexpr UINT kMsgKeySlopes = 3530;
// wParam: a std::string naming a dope sheet row, answered with its middle pixel row (scrolled
// into view); 1 when the current page's dope sheet shows it.
inline constexpr UINT kMsgDopeSheetRow = 3531;
// wParam: a std::string "CHANNEL\nTRACK", answered with the count of the track's keys in the
// current page's clip; 1 when the clip has that track.
inline constexpr UINT kMsgTrackKeys = 3532;

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
inline constexpr UINT kCmdClipFrameRate = 16661;
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
inline constexpr UINT kCmdTrackEulerFilter = 16681;
inline constexpr UINT kCmdTrackFilterNoise = 16682;
inline constexpr UINT kCmdCopyPoints = 16684;
inline constexpr UINT kCmdPastePoints = 16685;
inline constexpr UINT kCmdRemovePoints = 16686;
inline constexpr UINT kCmdSelectionScale = 16687;
inline constexpr UINT kCmdSelectionSubdivise = 16688;
inline constexpr UINT kCmdSelectionSubSample = 16689;
inline constexpr UINT kCmdSelectionSmooth = 16690;
inline constexpr UINT kCmdSelectionFlip = 16691;
inline constexpr UINT kCmdSelectionEulerFilter = 16692;
inline constexpr UINT kCmdSelectionFilterNoise = 16693;
// Tangent types, in the order of EngineCore::TangentType, for all keys of the selected curves
// (Track) and for their selected keys (Selection); the interpolation of the selected curves'
// tracks.
inline constexpr UINT kCmdTrackTangents = 16740;
inline constexpr UINT kCmdSelectionTangents = 16750;
inline constexpr UINT kCmdInterpolationConstant = 16760;
inline constexpr UINT kCmdInterpolationLinear = 16761;
inline constexpr UINT kCmdInterpolationSmooth = 16762;
// The Edit menu.
inline constexpr UINT kCmdUndo = 16770;
inline constexpr UINT kCmdRedo = 16771;
inline constexpr UINT kCmdSelectAll = 16772;
inline constexpr UINT kCmdDeselect = 16773;
// The selected keys in time (the dope sheet's edits, in both views).
inline constexpr UINT kCmdDuplicateKeys = 16774;
inline constexpr UINT kCmdScaleKeysInTime = 16775;
// Switches the page between the graph and the dope sheet.
inline constexpr UINT kCmdDopeSheet = 16776;
// The Help menu.
inline constexpr UINT kCmdKeyboardShortcuts = 16780;
inline constexpr UINT kCmdAbout = 16781;
// What the clip page's own keys do, beside the menu commands they share (KeyBindings).
inline constexpr UINT kKeyNextFrame = 16790;
inline constexpr UINT kKeyPreviousFrame = 16791;
inline constexpr UINT kKeyFirstKey = 16792;
inline constexpr UINT kKeyLastKey = 16793;
inline constexpr UINT kKeyFitAll = 16794;
inline constexpr UINT kKeyFrameSelection = 16795;
inline constexpr UINT kKeyPlay = 16796;
inline constexpr UINT kCmdTabClose = 16735;
inline constexpr UINT kCmdTabCloseOthers = 16736;
// The channel list's context menu reuses these numbers for its own commands.
inline constexpr UINT kCmdListChannelCreate = 16674;
inline constexpr UINT kCmdListChannelEdit = 16675;
inline constexpr UINT kCmdListChannelRemove = 16676;
// The curve panel's automatic-recording toggle and speed menu.
inline constexpr UINT kCmdAutoRecord = 16694;
inline constexpr UINT kCmdBackwards2x = 16695;
inline constexpr UINT kCmdBackwards1x = 16696;
inline constexpr UINT kCmdBackwardsHalf = 16697;
inline constexpr UINT kCmdForwards2x = 16698;
inline constexpr UINT kCmdForwards1x = 16699;
inline constexpr UINT kCmdForwardsHalf = 16700;

// Dialog templates.
inline constexpr UINT kTplEditChannel = 1009;
inline constexpr UINT kTplPage = 1010;
inline constexpr UINT kTplTabHost = 1025;
inline constexpr UINT kTplOpenPane = 1107;
inline constexpr UINT kTplFrame = 1108;
inline constexpr UINT kTplCreateChannel = 1110;
inline constexpr UINT kTplScaleTool = 1111;
inline constexpr UINT kTplFlipTool = 1112;
inline constexpr UINT kTplValueTool = 1113;
inline constexpr UINT kTplCurvePanel = 1114;
inline constexpr UINT kTplFrameRate = 1115;
inline constexpr UINT kTplKeyboardShortcuts = 1116;

// Controls of the clip page.
inline constexpr UINT kCtlFilterLabel = 1016;
inline constexpr UINT kCtlFilterEdit = 1020;
inline constexpr UINT kCtlFilterTranslation = 1028;
inline constexpr UINT kCtlFilterRotation = 1029;
inline constexpr UINT kCtlFilterScale = 1030;
inline constexpr UINT kCtlFilterWeights = 1031;
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
// Controls of the curve panel. The panel is a child of the page, so no id here may be one of
// the page's: a script or a test that finds a control by its id finds only that one.
inline constexpr UINT kCtlFrameRuler = 5;
inline constexpr UINT kCtlValueRuler = 6;
inline constexpr UINT kCtlGraph = 7;
inline constexpr UINT kCtlDopeSheet = 8;
inline constexpr UINT kCtlDopeSheetLabels = 9;
// The toolbar's switch between the graph and the dope sheet.
inline constexpr UINT kCtlDopeSheetBox = 1070;
inline constexpr UINT kCtlFramesModeBox = 1065;
inline constexpr UINT kCtlSnapBox = 1066;
inline constexpr UINT kCtlValuesModeBox = 1067;
// The clip's frame rate, beside the playback buttons.
inline constexpr UINT kCtlFrameRateLabel = 1068;
// Opens the menu of the selected keys' tangent types.
inline constexpr UINT kCtlTangentsButton = 1069;
inline constexpr UINT kCtlFalloffBeforeEdit = 1042;
inline constexpr UINT kCtlFalloffBox = 1048;
inline constexpr UINT kCtlFalloffAfterEdit = 1046;
inline constexpr UINT kCtlKeyLabel = 1043;
inline constexpr UINT kCtlKeyEdit = 1044;
inline constexpr UINT kCtlValueLabel = 1047;
inline constexpr UINT kCtlValueEdit = 1049;
inline constexpr UINT kCtlPreviousKeyButton = 1059;
inline constexpr UINT kCtlPlayButton = 1021;
inline constexpr UINT kCtlRecordButton = 1062;
inline constexpr UINT kCtlNextKeyButton = 1060;
inline constexpr UINT kCtlLoopBox = 1025;
inline constexpr UINT kCtlObjectCombo = 1023;
inline constexpr UINT kCtlFitButton = 1037;
inline constexpr UINT kCtlAutoRecordBox = 1026;
// Controls of the channel dialogs.
inline constexpr UINT kCtlChannelNameLabel = 1009;
inline constexpr UINT kCtlChannelNameEdit = 1002;
inline constexpr UINT kCtlTranslationBox = 1038;
inline constexpr UINT kCtlRotationBox = 1039;
inline constexpr UINT kCtlScaleBox = 1040;
// Controls of the tool dialogs.
inline constexpr UINT kCtlFlipHorizontal = 1053;
inline constexpr UINT kCtlFlipVertical = 1054;
inline constexpr UINT kCtlScaleCurrentLabel = 1051;
inline constexpr UINT kCtlScaleCurrentEdit = 1052;
inline constexpr UINT kCtlScaleWishLabel = 1115;
inline constexpr UINT kCtlScaleLengthRadio = 1064;
inline constexpr UINT kCtlScaleLengthEdit = 1003;
inline constexpr UINT kCtlScalePercentageRadio = 1116;
inline constexpr UINT kCtlScalePercentageEdit = 1005;
inline constexpr UINT kCtlToolValueLabel = 1054;
inline constexpr UINT kCtlToolValueEdit = 1055;
inline constexpr UINT kCtlShortcutList = 1056;
inline constexpr UINT kCtlRateLabel = 1117;
inline constexpr UINT kCtlRateEdit = 1118;
inline constexpr UINT kCtlRateKeepTimes = 1119;
inline constexpr UINT kCtlRateKeepFrames = 1120;
inline constexpr UINT kCtlRateToleranceLabel = 1121;
inline constexpr UINT kCtlRateToleranceEdit = 1122;

// List styles: report view, owner-drawn fixed rows, no sortable header, selection always
// shown, sorted ascending, shared image lists; full-row select with sub-item images.
inline constexpr UINT kListStyle = 0x50008459;
inline constexpr UINT kListExtendedStyle = 0x22;
inline constexpr int kListIconColumnWidth = 54;
inline constexpr int kListTextColumnWidth = 200;
// Item state bit that asks for the theme's bold list font.
inline constexpr UINT kListBoldState = 0x40;
// Row records of the lists carry this tag; rows without it are not drawn by the lists.
inline constexpr UINT kRowTag = 4126;

// Notifications of the graph to the curve panel.
// A left-button gesture other than a rubber band has ended: record the edit, write back.
inline constexpr int GraphNotify_CurveChanged = 2074;
// A press landed on a key: record the state before the edit.
inline constexpr int GraphNotify_CurveWillChange = 2075;
inline constexpr int GraphNotify_SelectionChanged = 2076;
inline constexpr int GraphNotify_CurrentFrame = 2077;
inline constexpr int GraphNotify_CurrentValue = 2078;
inline constexpr int GraphNotify_ClearFrame = 2079;
inline constexpr int GraphNotify_ClearValue = 2080;
inline constexpr int GraphNotify_DisableFrame = 2081;
inline constexpr int GraphNotify_DisableValue = 2082;
inline constexpr int GraphNotify_EnableFrame = 2083;
inline constexpr int GraphNotify_EnableValue = 2084;
// Notifications of the page's panes to the page.
inline constexpr int PanelNotify_RecordKey = 2090;
inline constexpr int PanelNotify_SelectionChanged = 2091;
inline constexpr int PanelNotify_ObjectChosen = 2092;
// The panel switched between the graph and the dope sheet.
inline constexpr int PanelNotify_ViewChanged = 2100;
// An action changed the clip (or took a change back): its tab and menus say so.
inline constexpr int PanelNotify_ClipChanged = 2099;
inline constexpr int ChannelNotify_SelectionChanged = 2093;
inline constexpr int ChannelNotify_Create = 2094;
inline constexpr int ChannelNotify_Edit = 2095;
inline constexpr int ChannelNotify_Remove = 2096;
inline constexpr int TrackNotify_CurveSelected = 2097;
inline constexpr int TrackNotify_RowChanged = 2098;

// A press picks a key closer than this in both directions, in pixels.
inline constexpr int kGraphHitPixels = 10;

// Timers of the curve panel.
inline constexpr UINT kTimerSpeedMenu = 1;
inline constexpr UINT kTimerRecord = 2;
inline constexpr UINT kTimerPlayback = 3;
// The value ruler's labels asked for another width: the panel lays out again after the paint.
inline constexpr UINT kTimerLayOut = 4;
// A button held this long shows its menu.
inline constexpr UINT kHoldMilliseconds = 400;

// Ruler markers: 1 and 2 bound the selected keys, 3 is the current key's cross-hair, 4 the
// time cursor. Marker flags: bit 0 visible, bit 1 solid.
inline constexpr int kMarkerSelectionBegin = 1;
inline constexpr int kMarkerSelectionEnd = 2;
inline constexpr int kMarkerCrossHair = 3;
inline constexpr int kMarkerTimeCursor = 4;
inline constexpr UINT kMarkerVisible = 1u;
inline constexpr UINT kMarkerSolid = 2u;

// The module's own icons.
inline constexpr UINT kIconModule = 1004;
inline constexpr UINT kIconTranslation = 1007;
inline constexpr UINT kIconRotation = 1009;
inline constexpr UINT kIconScale = 1010;
inline constexpr UINT kIconZ = 1011;
inline constexpr UINT kIconX = 1012;
inline constexpr UINT kIconY = 1013;
inline constexpr UINT kIconFirstTrack = 1014;  // translation X .. scale Z: 1014 to 1022
inline constexpr UINT kIconFramesMode = 1027;
inline constexpr UINT kIconValuesMode = 1028;
inline constexpr UINT kIconSnap = 1029;
inline constexpr UINT kIconFlip = 1030;
inline constexpr UINT kIconSubdivise = 1031;
inline constexpr UINT kIconFalloff = 1032;
inline constexpr UINT kIconAutoRecord = 1035;
inline constexpr UINT kIconLoop = 1037;
inline constexpr UINT kIconPreviousKey = 1038;
inline constexpr UINT kIconFit = 1040;
inline constexpr UINT kIconRecord = 1041;
inline constexpr UINT kIconWeights = 1042;      // morph-target weights, as a kind of track
inline constexpr UINT kIconWeightCurve = 1043;  // one target's weight, in the track list
inline constexpr UINT kIconTangents = 1044;
inline constexpr UINT kIconDopeSheet = 1045;

// Host theme entries.
inline constexpr int kThemeIconNew = 0;
inline constexpr int kThemeIconSave = 1;
inline constexpr int kThemeIconSaveAll = 2;
inline constexpr int kThemeIconCopy = 7;
inline constexpr int kThemeIconPaste = 8;
inline constexpr int kThemeIconRemove = 9;
inline constexpr int kThemeIconClose = 14;
inline constexpr int kThemeIconCloseAll = 15;
inline constexpr int kThemeIconOpen = 19;
inline constexpr int kThemeIconPlay = 22;
inline constexpr int kThemeIconStop = 23;
inline constexpr int kThemeIconNextKey = 25;
inline constexpr int kThemeIconScale = 113;
inline constexpr int kThemeIconEdit = 172;
inline constexpr int kThemeOpenIcon = 307;
inline constexpr int kThemeBackground = 10;
inline constexpr int kThemeBottomBand = 101;
inline constexpr int kThemeSeparatorColour = 1;
inline constexpr int kThemeDisabledIconColour = 11;
inline constexpr int kThemeGraphBackground = 161;
inline constexpr int kThemeGraphSelection = 162;
inline constexpr int kThemeListBackground = 72;
inline constexpr int kThemeListHighlight = 73;
inline constexpr int kThemeCursorArrow = 15;
inline constexpr int kThemeCursorValues = 18;
inline constexpr int kThemeCursorFrames = 17;
inline constexpr int kThemeCursorBoth = 2;

// Colours of the graph (COLORREF, 0x00BBGGRR).
// The graph is drawn on the theme's light graph ground (and its selection band): every mark
// reaches 3:1 there, the grid more quietly than the curves, the minor level lighter.
inline constexpr COLORREF kColourMajorLine = EditorCore::RGB(120, 120, 120);
inline constexpr COLORREF kColourMinorLine = EditorCore::RGB(132, 132, 132);
inline constexpr COLORREF kColourZeroLine = EditorCore::RGB(0, 0, 0);
inline constexpr COLORREF kColourSelectionMarker = EditorCore::RGB(160, 100, 0);
inline constexpr COLORREF kColourCrossHair = EditorCore::RGB(30, 30, 30);
inline constexpr COLORREF kColourTimeCursor = EditorCore::RGB(70, 70, 70);
inline constexpr COLORREF kColourRubberBand = EditorCore::RGB(0, 0, 0);
inline constexpr COLORREF kColourSelectedKey = EditorCore::RGB(0, 0, 0);
// Selected keys too dense for boxes: their stretch of the curve, in the selection markers' hue.
inline constexpr COLORREF kColourSelectedStretch = kColourSelectionMarker;
// A curve too light for the ground is drawn on a dark casing a pixel wider on each side.
inline constexpr COLORREF kColourCurveCasing = EditorCore::RGB(0, 0, 0);
inline constexpr double kCurveContrast = 4.5;
// List texts reach this against the list and a highlighted row: 4.5:1 and a margin, so that
// the thin strokes of small text, which never show their full colour, still reach 4.5:1.
inline constexpr double kTextContrast = 5.0;

// Units.
inline constexpr float kDegreesPerRadian = 57.29578f;
inline constexpr float kRadiansPerDegree = 0.017453292f;

}  // namespace Tarvel::Ids
