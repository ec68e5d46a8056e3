#pragma once
// Enumerations and small types shared by the editors, their styles and style controllers.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/forms/control_types.h"

class TvxInplaceEdit;

enum TvxEditBorderStyle { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum TvxEditButtonViewStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum TvxEditButtonTransparence { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };
enum TvxEditEdge { edgLeft, edgTop, edgRight, edgBottom };
using TvxEditEdges = TSmallSet<TvxEditEdge>;
inline constexpr TvxEditEdges vxAllEdges{edgLeft, edgTop, edgRight, edgBottom};
enum TvxEditStyleValue {
    svBorderColor,
    svBorderStyle,
    svButtonStyle,
    svButtonTransparence,
    svEdges,
    svHotTrack,
    svShadow
};
using TvxEditStyleValues = TSmallSet<TvxEditStyleValue>;
enum TvxPopupBorder { pbDefault, pbSingle, pbFrame3D, pbFlat };

// Sender is the controller, Link the editor whose style changed.
using TvxStyleChangedEvent = std::function<void(TObject* Sender, TObject* Link)>;
// OnValidate: clear Accept to refuse the text; ErrorText becomes the exception's message.
using TvxEditValidateEvent = std::function<void(TObject* Sender, std::string& ErrorText, bool& Accept)>;

// Bits of an editor's AssignedValues: which properties hold an own value.
using TvxAssignedValues = uint16_t;
inline constexpr TvxAssignedValues avAlignment = 0x0001;
inline constexpr TvxAssignedValues avMaxLength = 0x0002;
inline constexpr TvxAssignedValues avEditMask = 0x0004;
inline constexpr TvxAssignedValues avValueType = 0x0008;
inline constexpr TvxAssignedValues avMaxValue = 0x0010;
inline constexpr TvxAssignedValues avMinValue = 0x0020;
inline constexpr TvxAssignedValues avReadOnly = 0x0040;
inline constexpr TvxAssignedValues avCurrencyFormat = 0x0100;
