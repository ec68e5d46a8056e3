#include "app/common/cust_msg.h"

#include <array>
#include <cstdio>

#include "app/common/unattended_run.h"
#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "program/program_context.h"

TFormCustMsg* FormCustMsg = nullptr;

namespace {

constexpr TColor kBoxColor = 0xDEEBEF;
constexpr int kPictureSize = 42;

const std::array<const char*, 4> kGermanTitles = {"Achtung", "Fehler", "Hinweis", "Bestätigung"};
const std::array<const char*, 4> kEnglishTitles = {"Warning", "Error", "Information", "Confirmation"};
const std::array<const char*, 11> kGermanCaptions = {
    "&Ja", "&Nein", "&OK", "&Abbruch", "&Hilfe", "&Abbruch", "&Wiederholen", "&Ignorieren", "A&lles", "", "&Hilfe"};
// Indexes 4 to 8 get English captions that match their results.
const std::array<const char*, 11> kEnglishCaptions = {"&Yes",   "&No",     "&Ok",  "&Cancel", "&Help", "&Abort",
                                                      "&Retry", "&Ignore", "A&ll", "",        "&Help"};
constexpr std::array<uint16_t, 11> kResults = {6, 7, 1, 2, 0, 3, 4, 5, 8, 0, 0};
constexpr uint16_t kCancelResult = 2;
// The order in which requested buttons take the free places.
constexpr std::array<int, 9> kOrder = {2, 3, 0, 1, 10, 4, 5, 6, 7};

std::array<std::string, 5> g_titles = {"Achtung", "Fehler", "Hinweis", "Bestätigung", ""};
bool g_customTitle = false;  // type 4's title was set: no longer the application's
std::array<std::string, 11> g_captions = {"&Ja",          "&Nein",       "&OK",    "&Abbruch", "&Hilfe", "&Abbruch",
                                          "&Wiederholen", "&Ignorieren", "A&lles", "",         "&Hilfe"};

// The four pictures, drawn once: warning triangle, error disc, information and question.
void DrawPicture(TBitmap* bmp, int type) {
    bmp->SetWidth(kPictureSize);
    bmp->SetHeight(kPictureSize);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(kBoxColor);
    c->FillRect(TRect{0, 0, kPictureSize, kPictureSize});
    c->Pen()->SetColor(0x000000);
    const char* mark = "!";
    TColor fill = 0xFFFFFF, ink = 0x000000;
    switch (type) {
        case 0:
            fill = 0x00FFFF;
            c->Brush()->SetColor(fill);
            c->Polygon({TPoint{20, 3}, TPoint{39, 38}, TPoint{2, 38}});
            break;
        case 1:
            fill = 0x0000FF;
            ink = 0xFFFFFF;
            mark = "X";
            break;
        case 2:
            ink = 0xFF0000;
            mark = "i";
            break;
        default:
            ink = 0xFF0000;
            mark = "?";
            break;
    }
    if (type != 0) {
        c->Brush()->SetColor(fill);
        c->Ellipse(3, 3, 39, 39);
    }
    c->Font()->SetStyle({fsBold});
    c->Font()->SetHeight(-19);
    c->Font()->SetColor(ink);
    c->Brush()->SetStyle(bsClear);
    const TSize size = c->TextExtent(mark);
    c->TextOut((kPictureSize - size.cx) / 2, type == 0 ? 14 : (kPictureSize - size.cy) / 2, mark);
}

TImage* MakePicture(TFormCustMsg* form, const char* name, int type) {
    TImage* image = new TImage(form);
    image->SetName(name);
    image->SetParent(form);
    image->SetBounds(16, 16, kPictureSize, kPictureSize);
    TBitmap bmp;
    DrawPicture(&bmp, type);
    image->Picture()->SetBitmap(&bmp);
    image->SetVisible(false);
    return image;
}

}  // namespace

TFormCustMsg::TFormCustMsg(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormCustMsg");
    SetBorderStyle(bsDialog);
    SetColor(kBoxColor);
    SetPosition(poDesigned);
    SetBounds(0, 0, 300, 140);
    Image1 = MakePicture(this, "Image1", 0);
    Image2 = MakePicture(this, "Image2", 1);
    Image3 = MakePicture(this, "Image3", 2);
    Image4 = MakePicture(this, "Image4", 3);
    Label1 = new TMessageText(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(72, 16, 200, 13);
    Label1->SetCaption("");
    TAppButton* buttons[4];
    for (int k = 0; k < 4; ++k) {
        TAppButton* b = new TAppButton(this);
        b->SetName("Button" + std::to_string(k + 1));
        b->SetParent(this);
        b->SetBounds(20 + k * 93, 72, 73, 25);
        b->SetTag(k + 1);
        b->SetVisible(false);
        b->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
        buttons[k] = b;
    }
    Button1 = buttons[0];
    Button2 = buttons[1];
    Button3 = buttons[2];
    Button4 = buttons[3];
    Button1->SetDefault(true);
    // The German texts as labels, so the control-text catalogue lists them.
    for (int t = 0; t < 5; ++t) {
        TLabel* l = new TLabel(this);
        l->SetName("Label" + std::to_string(101 + t));
        l->SetParent(this);
        l->SetVisible(false);
        l->SetCaption(t < 4 ? kGermanTitles[static_cast<size_t>(t)] : "");
    }
    for (int i = 0; i < 11; ++i) {
        TLabel* l = new TLabel(this);
        l->SetName("Label" + std::to_string(201 + i));
        l->SetParent(this);
        l->SetVisible(false);
        l->SetCaption(kGermanCaptions[static_cast<size_t>(i)]);
    }
}

TImage* TFormCustMsg::Picture(int type) const {
    switch (type) {
        case 0: return Image1;
        case 1: return Image2;
        case 2: return Image3;
        case 3: return Image4;
        default: return nullptr;
    }
}

TAppButton* TFormCustMsg::ButtonNo(int k) const {
    switch (k) {
        case 1: return Button1;
        case 2: return Button2;
        case 3: return Button3;
        default: return Button4;
    }
}

void TFormCustMsg::ButtonClick(TObject* Sender) {
    auto* b = dynamic_cast<TComponent*>(Sender);
    const intptr_t tag = b ? b->Tag() : 0;
    if (tag >= 1 && tag <= 4) chosen_ = results_[tag - 1];
    Close();
}

void TFormCustMsg::Prepare(const std::string& text, uint8_t type, uint16_t buttons, int32_t helpContext) {
    chosen_ = 0;
    for (uint16_t& r : results_) r = 0;
    for (int t = 0; t < 4; ++t) Picture(t)->SetVisible(false);
    for (int k = 1; k <= 4; ++k) ButtonNo(k)->SetVisible(false);

    if (type <= 3) {
        SetCaption(g_titles[type]);
        Picture(type)->SetVisible(true);
    } else if (type == 4) {
        SetCaption(g_customTitle ? g_titles[4] : Application->Title());
    }

    // The widest line, lines broken at each CR and wrapped where they would run wider than
    // the screen lets a box grow.
    const int w = Label1->Measure(text, MessageTextWidth()).Width();
    Label1->SetWidth(w + 5);
    Label1->SetCaption(text);
    Label1->AdjustBounds();  // the height for this width, also when the text is the last one

    int n = 0;
    for (int index : kOrder) {
        if (n >= 4) break;
        if (!(buttons & (1u << index))) continue;
        ++n;
        TAppButton* b = ButtonNo(n);
        b->SetCaption(g_captions[static_cast<size_t>(index)]);
        results_[n - 1] = kResults[static_cast<size_t>(index)];
        b->SetVisible(true);
    }
    shownButtons_ = n;
    // Esc answers as the Cancel button would, or as the only button; a question without
    // Cancel waits for a real answer.
    for (int k = 1; k <= 4; ++k) ButtonNo(k)->SetCancel(n == 1 ? k == 1 : k <= n && results_[k - 1] == kCancelResult);

    const int bw = Button1->Width();
    int need = n * bw + (n > 0 ? (n - 1) * 20 : 0);
    const int textRight = Label1->Left() + w + 5;
    int margin = 0;
    if (need < textRight) {
        margin = (textRight - need) / 2;
        need = textRight;
    }
    const int width = need + 20;

    Label1->SetTop(Image1->Top());
    int y;
    if (Image1->Height() > Label1->Height()) {
        Label1->SetTop(Label1->Top() + (Image1->Height() - Label1->Height()) / 2);
        y = Image1->Top() + Image1->Height() + 10;
    } else {
        y = Label1->Top() + Label1->Height() + 10;
    }
    for (int k = 1; k <= 4; ++k) ButtonNo(k)->SetTop(y);
    const int height = y + Button1->Height() + 40;
    SetBounds(Left(), Top(), width, height);

    if (n > 0) {
        const int step = (width - 2 * margin - 20) / n;
        const int pad = (step - bw) / 2;
        const int x0 = margin + 20;
        for (int k = 1; k <= 4; ++k) ButtonNo(k)->SetLeft(x0 + k * pad + (k - 1) * bw);
    }

    SetBounds((Screen->Width() - width) / 2, (Screen->Height() - height) / 2, width, height);
    helpContext_ = helpContext;
}

uint16_t TFormCustMsg::Execute(const std::string& text, uint8_t type, uint16_t buttons, int32_t helpContext) {
    Prepare(text, type, buttons, helpContext);
    ShowModal();
    return chosen_;
}

uint16_t CustMessageDlg(const std::string& text, uint8_t type, uint16_t buttons, int32_t helpContext) {
    // Nobody could answer the box: the text goes where the caller's script can read it.
    if (!FormCustMsg || Program().UnattendedRun) {
        std::string line = text;
        for (char& ch : line)
            if (ch == '\r') ch = '\n';
        std::fprintf(stderr, "%s\n", line.c_str());
        return 0;
    }
    return FormCustMsg->Execute(text, type, buttons, helpContext);
}

void SetCustMsgTitle(int type, const std::string& text) {
    if (type < 0 || type > 4) return;
    g_titles[static_cast<size_t>(type)] = text;
    if (type == 4) g_customTitle = true;
}

void SetCustMsgButtonCaption(int index, const std::string& text) {
    if (index < 0 || index > 10) return;
    g_captions[static_cast<size_t>(index)] = text;
}

std::string CustMsgTitle(int type) {
    if (type < 0 || type > 4) return {};
    if (type == 4 && !g_customTitle) return Application ? Application->Title() : std::string();
    return g_titles[static_cast<size_t>(type)];
}

std::string CustMsgButtonCaption(int index) {
    return index < 0 || index > 10 ? std::string() : g_captions[static_cast<size_t>(index)];
}

void UseEnglishMsgTexts() {
    for (size_t t = 0; t < 4; ++t) g_titles[t] = kEnglishTitles[t];
    for (size_t i = 0; i < 11; ++i) g_captions[i] = kEnglishCaptions[i];
}

void UseGermanMsgTexts() {
    for (size_t t = 0; t < 4; ++t) g_titles[t] = kGermanTitles[t];
    g_titles[4].clear();
    g_customTitle = false;
    for (size_t i = 0; i < 11; ++i) g_captions[i] = kGermanCaptions[i];
}
