#pragma once
// The clipboard: text and bitmaps. Text goes through the display when it shares a clipboard
// with other programs (the X selection), so text copied elsewhere can be pasted here and
// the other way round; the headless display keeps it in this process. Bitmaps stay in this
// process. Setting one format replaces what was there.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/classes/persistent.h"

class TBitmap;

inline constexpr unsigned CF_TEXT = 1;
inline constexpr unsigned CF_BITMAP = 2;
inline constexpr unsigned CF_UNICODETEXT = 13;
// The class library's picture format: any picture the program can read (here: a bitmap).
inline constexpr unsigned CF_PICTURE = 0xC001;

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;
    std::string ClassName() const override { return "TClipboard"; }

    std::string AsText() const;
    void SetAsText(const std::string& v);
    bool HasFormat(unsigned format) const;
    void Clear();
    // Open/Close bracket several changes; here they only count.
    void Open() { ++openCount_; }
    void Close() {
        if (openCount_ > 0) --openCount_;
    }
    // A TBitmap source (or a TPicture holding one) is copied onto the clipboard.
    void Assign(TPersistent* Source) override;
    // Copies the clipboard's bitmap into a TBitmap or TPicture (EConvertError when it holds none).
    void AssignTo(TPersistent* Dest) override;
    // Changes so far (the clipboard viewer chain watches it).
    unsigned SequenceNumber() const { return sequence_; }
    // Called after each change of this program's clipboard (the stand-in for the clipboard
    // viewer chain); answers an id for RemoveChangeListener.
    int AddChangeListener(std::function<void()> Listener);
    void RemoveChangeListener(int Id);

private:
    std::string text_;
    bool hasText_ = false;
    std::unique_ptr<TBitmap> bitmap_;
    int openCount_ = 0;
    unsigned sequence_ = 0;
    void NotifyChange();
    void ClearContent();
    std::map<int, std::function<void()>> listeners_;
    int nextListener_ = 0;
};

TClipboard* Clipboard();
