#include "platform/forms/clipboard.h"

#include "platform/display/presenter.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/image_codec.h"
#include "platform/rtl/exception.h"

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

std::string TClipboard::AsText() const {
    Presenter* display = CurrentPresenter();
    if (!display->SharesClipboard()) return hasText_ ? text_ : std::string();
    std::string text;
    return display->FetchClipboardText(&text) ? text : std::string();
}

void TClipboard::SetAsText(const std::string& v) {
    ClearContent();
    text_ = v;
    hasText_ = true;
    Presenter* display = CurrentPresenter();
    if (display->SharesClipboard()) display->OfferClipboardText(v);
    NotifyChange();
}

bool TClipboard::HasFormat(unsigned format) const {
    if (format == CF_TEXT || format == CF_UNICODETEXT) {
        Presenter* display = CurrentPresenter();
        if (!display->SharesClipboard()) return hasText_;
        // Another program may have copied since: the display's owner of the text decides.
        return display->FetchClipboardText(nullptr);
    }
    if (format == CF_BITMAP || format == CF_PICTURE) return bitmap_ != nullptr;
    return false;
}

void TClipboard::Clear() {
    ClearContent();
    NotifyChange();
}

void TClipboard::ClearContent() {
    text_.clear();
    hasText_ = false;
    bitmap_.reset();
    ++sequence_;
    Presenter* display = CurrentPresenter();
    if (display->SharesClipboard()) display->ClearClipboardText();
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (auto* bmp = dynamic_cast<TBitmap*>(picture->Graphic())) Source = bmp;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        ClearContent();
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Assign(bmp);
        NotifyChange();
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    auto* bmp = dynamic_cast<TBitmap*>(Dest);
    auto* picture = dynamic_cast<TPicture*>(Dest);
    if (bmp || picture) {
        if (!bitmap_) throw EConvertError("The clipboard holds no picture");
        // A picture pasted comes in under the same limit as one read from a file.
        if (!bitmap_->Empty()) CheckPictureSize(bitmap_->Width(), bitmap_->Height());
        if (bmp)
            bmp->Assign(bitmap_.get());
        else
            picture->Assign(bitmap_.get());
        return;
    }
    TPersistent::AssignTo(Dest);
}

int TClipboard::AddChangeListener(std::function<void()> Listener) {
    listeners_[++nextListener_] = std::move(Listener);
    return nextListener_;
}

void TClipboard::RemoveChangeListener(int Id) { listeners_.erase(Id); }

void TClipboard::NotifyChange() {
    // A listener may remove itself (or another) while it runs.
    for (int id = 0; id <= nextListener_; ++id) {
        auto it = listeners_.find(id);
        if (it == listeners_.end()) continue;
        auto listener = it->second;
        listener();
    }
}

TClipboard* Clipboard() {
    static TClipboard* clipboard = new TClipboard;
    return clipboard;
}
