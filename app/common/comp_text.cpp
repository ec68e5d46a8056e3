#include "app/common/comp_text.h"

#include "platform/forms/label.h"
#include "program/built_in_texts.h"
#include "program/text_utils.h"

namespace {

TComponent* g_owner = nullptr;

}  // namespace

const std::vector<std::pair<int, std::string>>& CompTextCatalogue() { return BuiltInCompTexts(); }

std::string CompTextCaption(int id, const std::string& text) {
    std::string caption = "X";
    caption += std::to_string(id);
    return caption + ": " + text;
}

void CreateCompTextLabels(TComponent* owner, TWinControl* page, int half) {
    const auto& texts = BuiltInCompTexts();
    const size_t first = half == 0 ? 0 : (texts.size() + 1) / 2;
    const size_t end = half == 0 ? (texts.size() + 1) / 2 : texts.size();
    for (size_t i = first; i < end; ++i) {
        const auto& [id, text] = texts[i];
        const int row = static_cast<int>(i - first);
        // Two columns of 36 rows, 16 px apart; the pages are never shown to the user.
        TLabel* label = new TLabel(owner);
        label->SetName("LabelX" + std::to_string(id));
        label->SetParent(page);
        label->SetBounds(8 + (row / 36) * 300, 8 + (row % 36) * 16, 280, 13);
        label->SetCaption(CompTextCaption(id, text));
    }
}

void SetCompTextOwner(TComponent* owner) { g_owner = owner; }
TComponent* CompTextOwner() { return g_owner; }

TLabel* CompTxtControl(int id) {
    if (!g_owner || id < 1000 || id > 9999) return nullptr;
    return dynamic_cast<TLabel*>(g_owner->FindComponent("LabelX" + std::to_string(id)));
}

std::string GetCompText(int id) {
    std::string caption;
    if (g_owner) {
        TLabel* label = CompTxtControl(id);
        if (!label) return "??? Text" + IntToStrZero(id, 4);
        caption = label->Caption();
    } else {
        // No main window (tools, tests of single units): the built-in texts answer.
        const std::string* text = FindBuiltInCompText(id);
        return text ? *text : "??? Text" + IntToStrZero(id, 4);
    }
    const size_t at = caption.find(": ");
    return at == std::string::npos ? caption : caption.substr(at + 2);
}

std::string GetCompTextLines(int id) {
    std::string text = GetCompText(id);
    for (char& c : text)
        if (c == '#') c = '\r';
    return text;
}

std::string FormatCompText(const std::string& text, std::initializer_list<std::string> args) {
    std::string out;
    out.reserve(text.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            if (text[i + 1] == 's') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
            if (text[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
