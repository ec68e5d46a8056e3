#include "link/link_texts.h"

#include "program/built_in_texts.h"

namespace {

CompTextHandler& Handler() {
    static CompTextHandler handler;
    return handler;
}

}  // namespace

void SetCompTextHandler(CompTextHandler handler) { Handler() = std::move(handler); }

std::string LinkText(int id) {
    if (Handler()) return Handler()(id);
    const std::string* text = FindBuiltInCompText(id);
    return text ? *text : std::string();
}

std::string LinkTextFmt(int id, const std::string& arg) {
    std::string text = LinkText(id);
    size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, arg);
    return text;
}
