#include "controls/vx_editors_unit.h"

#include <memory>

#include "controls/edit_images.h"
#include "controls/vx_edit_style.h"
#include "controls/vx_style_controller.h"
#include "platform/forms/screen.h"
#include "platform/gdi/canvas.h"

namespace {

struct UnitState {
    int starts = 0;
    TSize checkGlyph;
    std::string invalidDate;
    std::vector<std::string> toolCaptions;
    std::vector<std::string> toolHints;
    std::unique_ptr<TCanvas> canvas;
    std::vector<std::string> popupCaptions;
    TvxStyleController* checkController = nullptr;
    std::vector<std::string> dateWords;
};

UnitState& State() {
    static UnitState s;
    return s;
}

TvxStyleControllerFactory g_checkFactory = nullptr;

const std::string& At(const std::vector<std::string>& v, int i) {
    static const std::string empty;
    return i >= 0 && static_cast<size_t>(i) < v.size() ? v[static_cast<size_t>(i)] : empty;
}

}  // namespace

void vxSetCheckEditStyleControllerFactory(TvxStyleControllerFactory Factory) { g_checkFactory = Factory; }

bool vxEditorsStarted() { return State().starts > 0; }

void vxEditorsStartup() {
    UnitState& s = State();
    if (s.starts++ > 0) return;
    // The editor base: the global default controller (no owner: the table's defaults) and
    // the shadow brush of every border and pop-up.
    SetDefaultEditStyleController(new TvxEditStyleController(nullptr));
    SetShadowBrush(CreateSolidBrush(ColorToRGB(clBtnShadow)));
    // The extended editors.
    s.checkGlyph = TSize{13, 13};  // the classic 52 x 39 strip of 4 by 3 glyphs
    EnsureScreen()->SetCursors(crvxHandPoint, IDC_HAND);
    s.invalidDate = "Invalid Date";
    LoadToolBarImages();
    s.toolCaptions = {"Cu&t", "&Copy", "&Paste", "&Delete", "&Load...", "&Save To...", ""};
    s.toolHints = {"Cut", "Copy", "Paste", "Delete", "Load from file...", "Save to file...", ""};
    s.canvas = std::make_unique<TCanvas>();
    LoadBlobImages();
    s.popupCaptions = {"&OK", "&Cancel", "&Close"};
    s.checkController = g_checkFactory ? g_checkFactory() : nullptr;
    s.dateWords = {"TODAY",    "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY",
                   "THURSDAY", "FRIDAY",    "SATURDAY", "FIRST",  "SECOND", "THIRD",   "FOURTH",
                   "FIFTH",    "SIXTH",     "SEVENTH",  "BOM",    "EOM",    "NOW"};
}

void vxEditorsShutdown() {
    UnitState& s = State();
    if (s.starts == 0 || --s.starts > 0) return;
    delete s.checkController;
    s.checkController = nullptr;
    s.canvas.reset();
    s.toolCaptions.clear();
    s.toolHints.clear();
    s.dateWords.clear();
    s.popupCaptions.clear();
    s.invalidDate.clear();
    EnsureScreen()->SetCursors(crvxHandPoint, 0);
    // Editors that outlive the unit stop asking the default controller before it goes.
    TvxEditStyleController* controller = DefaultEditStyleController();
    SetDefaultEditStyleController(nullptr);
    delete controller;
    HBRUSH brush = vxShadowBrush();
    SetShadowBrush(nullptr);
    if (brush) DeleteObject(brush);
}

TSize vxCheckGlyphSize() { return State().checkGlyph; }
const std::string& vxInvalidDateText() { return State().invalidDate; }
const std::string& vxToolCommandCaption(int Index) { return At(State().toolCaptions, Index); }
const std::string& vxToolCommandHint(int Index) { return At(State().toolHints, Index); }
TCanvas* vxSharedCanvas() { return State().canvas.get(); }
const std::string& vxPopupButtonCaption(int Index) { return At(State().popupCaptions, Index); }
const std::vector<std::string>& vxDateWords() { return State().dateWords; }
TvxStyleController* vxDefaultCheckEditStyleController() { return State().checkController; }
