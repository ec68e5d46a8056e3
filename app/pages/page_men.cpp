#include "app/pages/page_men.h"

#include "app/pages/main_pages.h"

TPageMEN::TPageMEN(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label71 = b_.Label(p, "Label71", "Menü", 16, 16, true);
    const std::pair<TAppButton**, std::pair<const char*, const char*>> entries[] = {
        {&Button711, {"Button711", "Information"}},          {&Button712, {"Button712", "Steuerung"}},
        {&Button721, {"Button721", "Installation"}},         {&Button722, {"Button722", "Wartung"}},
        {&Button731, {"Button731", "System-Einstellungen"}}, {&Button732, {"Button732", "Benutzerverwaltung"}},
        {&Button741, {"Button741", "Geräte-Einstellungen"}}};
    for (size_t i = 0; i < std::size(entries); ++i)
        *entries[i].first = b_.Button(p, entries[i].second.first, entries[i].second.second,
                                      16 + static_cast<int>(i % 2) * 200, 40 + static_cast<int>(i / 2) * 32, 184);
    CheckEdit701 = b_.Make<TAppCheckEdit>(p, "CheckEdit701", 16, 176, 264, 17);
    CheckEdit701->SetCaption("Daten Geräteliste neu einlesen");
    Label701 = b_.Label(p, "Label701", "", 16, 216);
    ProgressBar701 = b_.Make<TProgressBar>(p, "ProgressBar701", 16, 232, 384, 16);
    Label702 = b_.Label(p, "Label702", "", 408, 234);
    Button742 = b_.ButtonRow(p, {{"Button742", "Abbruch"}})[0];
    Button742->OnClick = [this](TObject*) { Pages().COM->Button103Click(); };
}

std::vector<TAppButton*> TPageMEN::MenuButtons() const {
    return {Button711, Button712, Button721, Button722, Button731, Button732, Button741};
}
