#pragma once
// The class library's drawing tools: TFont, TPen and TBrush. Each keeps its settings and
// makes the matching handle on demand; a changed setting drops the handle and fires
// OnChange (the canvas that owns the tool then selects the new one before it draws).

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/classes/persistent.h"
#include "platform/gdi/gdi_objects.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles, as the class library's `set of TFontStyle`.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
        for (TFontStyle s : styles) bits_ |= static_cast<uint8_t>(1u << s);
    }
    constexpr bool Contains(TFontStyle s) const { return bits_ & (1u << s); }
    constexpr bool Empty() const { return bits_ == 0; }
    TFontStyles& Include(TFontStyle s) {
        bits_ |= static_cast<uint8_t>(1u << s);
        return *this;
    }
    TFontStyles& Exclude(TFontStyle s) {
        bits_ &= static_cast<uint8_t>(~(1u << s));
        return *this;
    }
    friend constexpr TFontStyles operator+(TFontStyles a, TFontStyles b) {
        a.bits_ |= b.bits_;
        return a;
    }
    friend constexpr TFontStyles operator-(TFontStyles a, TFontStyles b) {
        a.bits_ &= static_cast<uint8_t>(~b.bits_);
        return a;
    }
    friend constexpr TFontStyles operator*(TFontStyles a, TFontStyles b) {
        a.bits_ &= b.bits_;
        return a;
    }
    friend constexpr bool operator==(TFontStyles a, TFontStyles b) { return a.bits_ == b.bits_; }

private:
    uint8_t bits_ = 0;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TGraphicsObject : public TPersistent {
public:
    std::string ClassName() const override { return "TGraphicsObject"; }
    TNotifyEvent OnChange;
    // The owner's own notice (a canvas re-selecting its tools), called before OnChange so
    // that a user's OnChange handler never cuts the owner off.
    void SetOwnerNotify(std::function<void()> notify) { ownerNotify_ = std::move(notify); }

protected:
    virtual void Changed();

private:
    std::function<void()> ownerNotify_;
};

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    std::string ClassName() const override { return "TFont"; }
    void Assign(TPersistent* Source) override;

    HFONT Handle();
    // Takes the settings of a logical font (the handle itself is not kept).
    void SetHandle(HFONT font);
    const std::string& Name() const { return name_; }
    void SetName(const std::string& v);
    // Points; Height is pixels (negative: character height), tied by 96 pixels per inch.
    int Size() const;
    void SetSize(int v);
    int Height() const { return height_; }
    void SetHeight(int v);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t v);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch v);
    int PixelsPerInch() const { return 96; }
    LOGFONT LogFont() const;

protected:
    void Changed() override;

private:
    void FreeHandle();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    uint8_t charset_ = 1;
    TFontPitch pitch_ = fpDefault;
    HFONT handle_ = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
// The binary raster operation of a pen mode.
int PenModeToRop2(TPenMode mode);

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;
    std::string ClassName() const override { return "TPen"; }
    void Assign(TPersistent* Source) override;

    HPEN Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode v);

protected:
    void Changed() override;

private:
    void FreeHandle();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    HPEN handle_ = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;
    std::string ClassName() const override { return "TBrush"; }
    void Assign(TPersistent* Source) override;

    HBRUSH Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle v);
    // A pattern brush from the bitmap (not owned; the caller keeps it alive while used).
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* v);

protected:
    void Changed() override;

private:
    void FreeHandle();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
    HBRUSH handle_ = nullptr;
};
