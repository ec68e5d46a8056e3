#include "program/message_dialog.h"

#include <cstdio>

namespace {
MessageDialogHandler& Handler() {
    static MessageDialogHandler handler;
    return handler;
}
}  // namespace

void SetMessageDialogHandler(MessageDialogHandler handler) { Handler() = std::move(handler); }

int ShowMessageDialog(const std::string& text, int type, int buttons, int help_context) {
    if (Handler()) return Handler()(text, type, buttons, help_context);
    std::fprintf(stderr, "%s\n", text.c_str());
    return 2;  // cancel
}
