#pragma once
// Builds the main window's pages on one grid: 8-pixel margins and gaps, labels left of or
// above their fields, push buttons at least 73x25 in a row at the bottom right of a page.

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/common/app_controls.h"
#include "platform/forms/label.h"
#include "platform/forms/notebook.h"
#include "platform/forms/progress_bar.h"
#include "platform/forms/shape.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "program/text_utils.h"

// A road's port entry: a notebook of the entry field, the list of found adapters and the
// notice that none was found.
struct TPortEntry {
    TNotebook* Notebook = nullptr;
    TAppEdit* Edit = nullptr;
    TAppImageEdit* List = nullptr;
    TLabel* Notice = nullptr;
};

// The port the entry shows: typed in, picked from the list, or none (0).
inline int32_t PortNumberOf(TNotebook* notebook, TAppEdit* edit, TAppImageEdit* list) {
    switch (notebook->PageIndex()) {
        case 0: return StrToIntVal(edit->Text());
        case 1: return StrToIntVal(list->EditValue());
        default: return 0;
    }
}

// One tick of a bar that shows the program is busy: 0 to 100, then round again; nothing
// while it is hidden.
inline void AdvanceBusyBar(TProgressBar* bar) {
    if (bar->Visible()) bar->SetPosition(bar->Position() + 1 > 100 ? 0 : bar->Position() + 1);
}

inline constexpr int kPageWidth = 608;
inline constexpr int kPageHeight = 480;
inline constexpr int kButtonHeight = 25;
inline constexpr int kButtonTop = kPageHeight - 8 - kButtonHeight;

inline const char* const kPageNames[26] = {"SEL", "COM", "RDX", "CFG", "WRX", "TST", "COC", "MEN", "STG",
                                           "BEN", "EIN", "EI2", "INS", "WAR", "WAW", "EIG", "DEV", "NET",
                                           "ROD", "PWX", "TX1", "TX2", "LDC", "SVC", "CT1", "CT2"};

class TPageBuilder {
public:
    explicit TPageBuilder(TComponent* form) : form_(form) {}

    template <class T>
    T* Make(TWinControl* parent, const std::string& name, int l, int t, int w, int h) {
        T* c = new T(form_);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    TLabel* Label(TWinControl* parent, const std::string& name, const std::string& caption, int l, int t,
                  bool bold = false) {
        TLabel* c = Make<TLabel>(parent, name, l, t, 8, 13);
        if (bold) c->Font()->SetStyle({fsBold});
        c->SetCaption(caption);
        return c;
    }
    TShape* Lamp(TWinControl* parent, const std::string& name, int l, int t) {
        TShape* s = Make<TShape>(parent, name, l, t, 16, 16);
        s->Brush()->SetColor(0xFFFFFF);
        return s;
    }
    // A lamp with its label to the right.
    void LampRow(TWinControl* parent, const std::string& shape, const std::string& label, const std::string& caption,
                 int l, int t) {
        Lamp(parent, shape, l, t);
        Label(parent, label, caption, l + 24, t + 2);
    }
    int ButtonWidth(const std::string& caption) {
        std::string plain;
        for (char ch : caption)
            if (ch != '&') plain += ch;
        measure_.Canvas()->Font()->SetStyle({});
        const int w = measure_.Canvas()->TextWidth(plain) + 24;
        return std::max(73, (w + 7) / 8 * 8);
    }
    TAppButton* Button(TWinControl* parent, const std::string& name, const std::string& caption, int l, int t,
                       int w = 0) {
        TAppButton* b = Make<TAppButton>(parent, name, l, t, w > 0 ? w : ButtonWidth(caption), kButtonHeight);
        b->SetCaption(caption);
        return b;
    }
    // Buttons in a row ending at the page's bottom right, in the given order left to right.
    std::vector<TAppButton*> ButtonRow(TWinControl* parent,
                                       const std::vector<std::pair<std::string, std::string>>& buttons) {
        int x = kPageWidth - 8;
        std::vector<int> widths;
        for (const auto& b : buttons) widths.push_back(ButtonWidth(b.second));
        for (int w : widths) x -= w + 8;
        x += 8;
        std::vector<TAppButton*> made;
        for (size_t i = 0; i < buttons.size(); ++i) {
            made.push_back(Button(parent, buttons[i].first, buttons[i].second, x, kButtonTop, widths[i]));
            x += widths[i] + 8;
        }
        return made;
    }
    TAppEdit* Edit(TWinControl* parent, const std::string& name, int l, int t, int w = 121) {
        TAppEdit* e = Make<TAppEdit>(parent, name, l, t, w, 21);
        e->SetText("");
        return e;
    }
    TAppImageEdit* ImageEdit(TWinControl* parent, const std::string& name, int l, int t, int w = 121) {
        return Make<TAppImageEdit>(parent, name, l, t, w, 21);
    }
    TNotebook* Notebook(TWinControl* parent, const std::string& name, const std::vector<std::string>& pages, int l,
                        int t, int w, int h) {
        TNotebook* nb = Make<TNotebook>(parent, name, l, t, w, h);
        nb->SetPages(pages);
        nb->SetPageIndex(0);
        return nb;
    }
    // The port entry of a road: entry field, list of found adapters, or the notice.
    TPortEntry PortEntry(TWinControl* parent, const std::string& notebook, const std::string& edit,
                         const std::string& list, const std::string& notice, int l, int t) {
        TPortEntry e;
        e.Notebook = Notebook(parent, notebook, {"EDIT", "LIST", "NONE"}, l, t, 400, 24);
        e.Edit = Edit(e.Notebook->Page(0), edit, 0, 0, 121);
        e.List = ImageEdit(e.Notebook->Page(1), list, 0, 0, 121);
        e.Notice = Label(e.Notebook->Page(2), notice, "Kein Tangor (Schnittstellenadapter) gefunden !", 0, 4, true);
        e.Notice->Font()->SetColor(0x0000FF);
        return e;
    }

private:
    TComponent* form_;
    TBitmap measure_{1, 1};
};
