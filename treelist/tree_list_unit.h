#pragma once
// What all tree lists of the process share: the cursors of their own (installed in the
// screen's cursor list), the empty drag image, a screen context for measuring, the two
// expand-button pictures and a few texts. The first tree list made starts them, the last
// one freed ends them.

#include "platform/forms/control_types.h"
#include "platform/gdi/device_context.h"

class TBitmap;
class TCustomImageList;

inline constexpr TCursor crvxTLDelete = -1124;
inline constexpr TCursor crvxTLFullScroll = -1131;
inline constexpr TCursor crvxTLHorScroll = -1132;
inline constexpr TCursor crvxTLVerScroll = -1133;
inline constexpr TCursor crvxTLUpScroll = -1134;
inline constexpr TCursor crvxTLRightScroll = -1135;
inline constexpr TCursor crvxTLDownScroll = -1136;
inline constexpr TCursor crvxTLLeftScroll = -1137;
inline constexpr TCursor crvxTLDragCopy = -1138;
inline constexpr TCursor crvxTLMultiDragCopy = -1139;

inline constexpr const char* kvxTLCustomizeText = "Customize";
inline constexpr const char* kvxTLBandsText = "    Bands    ";
inline constexpr const char* kvxTLHeadersText = "   Headers   ";

void TreeListUnitStartUp();
void TreeListUnitShutDown();
bool TreeListUnitStarted();
HDC TreeListScreenDC();
TCustomImageList* TreeListEmptyDragImage();
// The 12 x 12 expand buttons: the plus (collapsed) and the minus picture.
TBitmap* TreeListExpandButton(bool Plus);
// The row indicator pictures (kind - 1 is the index).
TCustomImageList* TreeListIndicatorImages();
// Draws both pictures again in the current system colours.
void RebuildTreeListExpandButtons();
