#pragma once
// TMessageText: the text of a message box. A word-wrapped label whose words wider than a line
// (a long path) break too, after a folder's name where one fits, so that nothing of the text
// runs past the box. MessageTextWidth: how wide a box lets its text run before it wraps.

#include <string>

#include "platform/forms/label.h"

class TMessageText : public TLabel {
public:
    explicit TMessageText(TComponent* AOwner);

    // The extent of `text` laid out as this label shows it, its lines no wider than `width`.
    TRect Measure(const std::string& text, int width);

protected:
    unsigned TextFlags() const override;
};

// Half the screen's work area, as desktop boxes take it, and at most 600 pixels, beyond which
// a line no longer reads at a glance.
int MessageTextWidth();
