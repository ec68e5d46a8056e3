#include "platform/forms/message_text.h"

#include <algorithm>

#include "platform/forms/control_paint.h"
#include "platform/forms/screen.h"

namespace {
constexpr int kLongestMessageLine = 600;
}

TMessageText::TMessageText(TComponent* AOwner) : TLabel(AOwner) { SetWordWrap(true); }

unsigned TMessageText::TextFlags() const { return TLabel::TextFlags() | DT_EDITCONTROL; }

TRect TMessageText::Measure(const std::string& text, int width) {
    return MeasureText(Font(), text, Rect(0, 0, width, 0), TextFlags() & ~(DT_RIGHT | DT_CENTER));
}

int MessageTextWidth() { return std::min(EnsureScreen()->WorkAreaWidth() / 2, kLongestMessageLine); }
