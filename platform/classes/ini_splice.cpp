#include "platform/classes/ini_splice.h"

#include <algorithm>

#include "platform/rtl/encoding.h"
#include "platform/rtl/str_utils.h"

namespace {

bool AllAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

TIniSplice::TIniSplice(std::string_view bytes) {
    utf16_ = Utf16ByteOrder(bytes);
    std::string_view text = bytes;
    if (utf16_) {
        auto decoded = Utf16ToUtf8(bytes.substr(2), *utf16_, fault_);
        if (!decoded) return;
        decoded_ = std::move(*decoded);
        text = decoded_;
    }
    // An editor that adds a mark to a file that has one leaves the second as a character.
    body_ = WithoutByteOrderMarks(text);
    marks_ = text.substr(0, text.size() - body_.size());
    lines_ = TIniDocument::SplitLines(body_);
    if (body_.find('\0') != std::string_view::npos) fault_ = TTextFault::NulCharacter;
    if (utf16_) return;
    if (EndsInsideCharacter(bytes))
        cut_ = body_.size() - DecodeTextBytes(bytes).size();
    else
        windows1252_ = !IsValidUtf8(body_);
}

std::string TIniSplice::Text(size_t i) const {
    std::string_view text = lines_[i].text;
    // The cut character is the end of the last line: a line end is no part of a character.
    if (cut_ != 0 && i + 1 == lines_.size()) text.remove_suffix(cut_);
    return windows1252_ ? Cp1252ToUtf8(text) : std::string(text);
}

bool TIniSplice::ReadAlike(const TIniSplice& other) const {
    if (utf16_ || other.utf16_) return utf16_ == other.utf16_;
    return windows1252_ == other.windows1252_ || AllAscii(other.body_);
}

void TIniSplice::Keep(size_t i) { steps_.push_back(Step{i, false, {}}); }

void TIniSplice::Replace(size_t i, std::string text) { steps_.push_back(Step{i, true, std::move(text)}); }

void TIniSplice::Add(std::string text) { steps_.push_back(Step{kOwn, false, std::move(text)}); }

bool TIniSplice::StepIsBlank(const Step& step) const {
    return Trim(step.line != kOwn && !step.replaced ? lines_[step.line].text : std::string_view(step.text)).empty();
}

void TIniSplice::SetApart() {
    if (!steps_.empty() && !StepIsBlank(steps_.back())) Add("");
}

bool TIniSplice::OwnTextsFit() const {
    if (!windows1252_) return true;
    return std::all_of(steps_.begin(), steps_.end(), [](const Step& step) {
        return (step.line != kOwn && !step.replaced) || Cp1252ToUtf8(Utf8ToCp1252(step.text)) == step.text;
    });
}

// The line end of a line the program adds, and of a last line that something now follows:
// the one used most by the file's lines that the new file holds, kept or rewritten in place
// (a rewritten line keeps its own line end), a tie with CR LF going to CR LF and one of LF
// and CR to LF; CR LF when it holds none. Not the whole file's: lines taken out (a
// configuration's rows, which its save takes out and adds again) do not count, so that
// saving the same lines again picks the same line end.
std::string_view TIniSplice::MostUsedLineEnd() const {
    size_t crlf = 0, lf = 0, cr = 0;
    for (const Step& step : steps_) {
        if (step.line == kOwn) continue;
        const std::string_view end = lines_[step.line].end;
        if (end == "\r\n") ++crlf;
        if (end == "\n") ++lf;
        if (end == "\r") ++cr;
    }
    if (lf > crlf && lf >= cr) return "\n";
    if (cr > crlf && cr > lf) return "\r";
    return "\r\n";
}

std::string TIniSplice::Bytes() const {
    if (!utf16_) return Render(false);
    return std::string(*utf16_ == TUtf16Order::LittleEndian ? "\xFF\xFE" : "\xFE\xFF") +
           Utf8ToUtf16(Render(false), *utf16_);
}

std::string TIniSplice::Render(bool utf8) const {
    const std::string_view lineEnd = MostUsedLineEnd();
    struct Piece {
        std::string text;
        std::string_view end;
        bool ownEnd = false;
    };
    std::vector<Piece> pieces;
    pieces.reserve(steps_.size());
    for (const Step& step : steps_) {
        if (step.line != kOwn && !step.replaced) {
            pieces.push_back(
                Piece{utf8 ? Text(step.line) : std::string(lines_[step.line].text), lines_[step.line].end});
            continue;
        }
        std::string text = utf8 || !windows1252_ ? step.text : Utf8ToCp1252(step.text);
        if (step.line == kOwn)
            pieces.push_back(Piece{std::move(text), lineEnd, true});
        else
            pieces.push_back(Piece{std::move(text), lines_[step.line].end});
    }
    // The file's last line may lack its line end: it gets one when anything follows it.
    for (size_t k = 0; k + 1 < pieces.size(); ++k)
        if (pieces[k].end.empty()) {
            pieces[k].end = lineEnd;
            pieces[k].ownEnd = true;
        }

    std::string out(marks_);
    for (size_t k = 0; k < pieces.size(); ++k) {
        const Piece& piece = pieces[k];
        const bool crBefore = piece.text.empty() && !out.empty() && out.back() == '\r';
        out += piece.text;
        std::string_view end = piece.end;
        if (piece.ownEnd) {
            const bool lfAfter = k + 1 < pieces.size() && pieces[k + 1].text.empty() &&
                                 pieces[k + 1].end.substr(0, 1) == "\n";
            if ((end == "\r" && lfAfter) || (end == "\n" && crBefore)) end = "\r\n";
        } else if (end == "\n" && crBefore) {
            // A blank line kept after a line ended by a lone CR, with the lines between taken
            // out: it keeps its place as a line of its own, its LF becoming CR LF.
            end = "\r\n";
        }
        out += end;
    }
    return out;
}
