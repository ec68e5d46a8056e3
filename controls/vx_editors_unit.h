#pragma once
// Start-up and shut-down of the editor units: the process-wide state every editor shares.
// vxEditorsStartup runs once per process (a counter guards it) before the first form;
// vxEditorsShutdown releases everything in the reverse order of need when the last
// start-up is matched.
//
// Made at start, in this order: the default edit style controller and the shared shadow
// brush; then the check-box glyph size, the hand cursor id, the invalid-date text, the
// time constants, the tool image list, the tool command texts, the shared canvas, the blob
// image list, the pop-up button captions, the default check-edit style controller and the
// date words.

#include <string>
#include <vector>

#include "controls/vx_edit_types.h"
#include "platform/forms/control_types.h"

class TCanvas;
class TvxEditStyleController;
class TvxStyleController;

void vxEditorsStartup();
void vxEditorsShutdown();
bool vxEditorsStarted();

// Size of one check-box glyph of the system's check-box strip (4 by 3 cells).
TSize vxCheckGlyphSize();
// The hand cursor's id (crHandPoint's picture; the hyperlink editor and grid cells use it).
inline constexpr TCursor crvxHandPoint = -1140;
const std::string& vxInvalidDateText();

// Fractions of a day.
inline constexpr double vxOneSecond = 1.0 / 86400.0;
inline constexpr double vxOneMinute = 1.0 / 1440.0;
inline constexpr double vxOneHour = 1.0 / 24.0;
inline constexpr double vxMinTime = 0.0;
inline constexpr double vxMaxTime = (23.0 * 3600.0 + 59.0 * 60.0 + 59.0) / 86400.0;

// Tool commands 0-5 (cut, copy, paste, delete, load, save) and 6 (custom, empty).
inline constexpr int vxToolCommandCount = 7;
const std::string& vxToolCommandCaption(int Index);
const std::string& vxToolCommandHint(int Index);
// The canvas the picture editor attaches to a context while it draws a cell.
TCanvas* vxSharedCanvas();
// "&OK", "&Cancel", "&Close".
const std::string& vxPopupButtonCaption(int Index);

// The words the date editor understands, in this order.
enum TvxDateWord {
    dwToday,
    dwYesterday,
    dwTomorrow,
    dwSunday,
    dwMonday,
    dwTuesday,
    dwWednesday,
    dwThursday,
    dwFriday,
    dwSaturday,
    dwFirst,
    dwSecond,
    dwThird,
    dwFourth,
    dwFifth,
    dwSixth,
    dwSeventh,
    dwBOM,
    dwEOM,
    dwNow
};
inline constexpr int vxDateWordCount = 20;
const std::vector<std::string>& vxDateWords();

// The default check-edit style controller (made by the check editor's factory when one
// is registered before start-up; null otherwise).
TvxStyleController* vxDefaultCheckEditStyleController();
using TvxStyleControllerFactory = TvxStyleController* (*)();
void vxSetCheckEditStyleControllerFactory(TvxStyleControllerFactory Factory);
