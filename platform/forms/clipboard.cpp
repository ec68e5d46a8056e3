#include "platform/forms/clipboard.h"

#include "platform/gdi/bitmap.h"
#include "platform/rtl/exception.h"

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

std::string TClipboard::AsText() const { return hasText_ ? text_ : std::string(); }

void TClipboard::SetAsText(const std::string& v) {
    Clear();
    text_ = v;
    hasText_ = true;
}

bool TClipboard::HasFormat(unsigned format) const {
    if (format == CF_TEXT || format == CF_UNICODETEXT) return hasText_;
    if (format == CF_BITMAP) return bitmap_ != nullptr;
    return false;
}

void TClipboard::Clear() {
    text_.clear();
    hasText_ = false;
    bitmap_.reset();
    ++sequence_;
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        Clear();
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Assign(bmp);
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        if (!bitmap_) throw EConvertError("The clipboard holds no picture");
        bmp->Assign(bitmap_.get());
        return;
    }
    TPersistent::AssignTo(Dest);
}

TClipboard* Clipboard() {
    static TClipboard* clipboard = new TClipboard;
    return clipboard;
}
