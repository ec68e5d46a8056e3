#pragma once
// TvxTreeListColumn: one cell of every node of a tree list with columns. A component owned
// by the form and placed in its control's column list; its Index is its position there.
// Most visual values have an assigned bit: until a value is assigned the getter asks a
// virtual default (or the control), so descendant columns change defaults without storing
// them. The mask column adds an edit mask for its editor.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/vx_edit_types.h"
#include "platform/classes/component.h"
#include "platform/forms/control_types.h"
#include "platform/forms/edit.h"
#include "platform/forms/label.h"
#include "platform/gdi/color.h"
#include "platform/rtl/variant.h"

class TBitmap;
class TCanvas;
class TFont;
class TCustomvxTreeListControl;
class TvxInplaceEdit;
class TvxInplaceEditClass;
class TvxTreeListNode;
struct TvxEditViewData;

enum TvxTreeListColumnSort : uint8_t { csNone, csDown, csUp };

class TvxTreeListColumn;

// A cell about to be drawn: the handler may change text, colour, font and alignment, or
// draw the cell itself and set ADone.
using TvxTLCustomDrawCell =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvxTreeListNode* ANode,
                       TvxTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow, std::string& AText,
                       TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;

// A header or band cell about to be drawn; Rect is the whole cell even when part of it is
// scrolled out of view.
using TvxTLCustomDrawHeader = std::function<void(
    TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvxTreeListColumn* AColumn, std::string& AText,
    TColor& AColor, TFont* AFont, TAlignment& AAlignment, TvxTreeListColumnSort& ASorted, bool& ADone)>;
using TvxTLCustomDrawBand =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, int ABand, std::string& AText,
                       TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
// A summary-footer cell (ANode null) or a row-footer cell.
using TvxTLCustomDrawFooter = std::function<void(
    TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvxTreeListNode* ANode, TvxTreeListColumn* AColumn,
    int AFooterIndex, std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TvxTLCustomDrawPreview =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvxTreeListNode* ANode, bool ASelected,
                       std::string& AText, TColor& AColor, TColor& ATextColor, TFont* AFont, bool& ADone)>;
using TvxTLGetLevelColor = std::function<void(TObject* Sender, int ALevel, TColor& AColor)>;

// Assigned bits of a column.
inline constexpr uint8_t tlcaAlignment = 0x01;
inline constexpr uint8_t tlcaCaption = 0x02;
inline constexpr uint8_t tlcaReadOnly = 0x04;
inline constexpr uint8_t tlcaWidth = 0x08;
inline constexpr uint8_t tlcaColor = 0x10;
inline constexpr uint8_t tlcaFont = 0x20;
inline constexpr uint8_t tlcaMaxLength = 0x40;

// What the cell painter hands to GetDrawInfo for one cell.
struct TvxTreeListCellDrawRecord {
    TRect Rect;
    TColor BrushColor = clWindow;
    TColor TextColor = clWindowText;
    TFont* Font = nullptr;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    // The incremental-search highlight; the editors' view data has no place for it yet, the
    // cell painting draws it.
    int HighlightLength = 0;
    bool SearchHighlight = false;
    bool EditCell = false;
    bool MultiLine = false;
    bool EndEllipsis = false;
    // A selected cell and the colour of the selection (for editors that shade it).
    bool Selected = false;
    TColor SelectionColor = clHighlight;
};

class TvxTreeListColumn : public TComponent {
public:
    explicit TvxTreeListColumn(TComponent* AOwner);
    ~TvxTreeListColumn() override;
    std::string ClassName() const override { return "TvxTreeListColumn"; }

    void Assign(TPersistent* Source) override;
    void SetName(const std::string& NewName) override;
    // A new column of this column's class (copying a control's columns keeps their classes).
    virtual TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const { return new TvxTreeListColumn(AOwner); }

    TCustomvxTreeListControl* GetTreeList() const { return treeList_; }
    void SetTreeList(TCustomvxTreeListControl* Value);
    // The column is of the data-aware column class (or one deriving from it): its controls
    // ask that for every cell they load, which a dynamic_cast would make cost more than the cell.
    bool IsDataAware() const { return dataAware_; }
    int Index() { return GetIndex(); }
    int GetSortedOrder() const;

    // ---- Published properties ----
    TAlignment Alignment();
    void SetAlignment(TAlignment Value);
    int BandIndex() const { return bandIndex_; }
    void SetBandIndex(int Value);
    std::string Caption();
    void SetCaption(const std::string& Value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase Value);
    int ColIndex() const;
    void SetColIndex(int Value);
    TColor Color() const;
    void SetColor(TColor Value);
    bool DisableCaption() const { return disableCaption_; }
    void SetDisableCaption(bool Value);
    bool DisableCustomizing() const { return disableCustomizing_; }
    void SetDisableCustomizing(bool Value);
    bool DisableDragging() const { return disableDragging_; }
    void SetDisableDragging(bool Value) { disableDragging_ = Value; }
    bool DisableEditor() const { return disableEditor_; }
    void SetDisableEditor(bool Value) { disableEditor_ = Value; }
    bool DisableFilter() const { return disableFilter_; }
    void SetDisableFilter(bool Value);
    TFont* Font();
    void SetFont(TFont* Value);
    TAlignment HeaderAlignment() const { return headerAlignment_; }
    void SetHeaderAlignment(TAlignment Value);
    TBitmap* HeaderGlyph();
    void SetHeaderGlyph(TBitmap* Value);
    bool HasHeaderGlyph() const;
    int HeaderMaxLineCount() const { return headerMaxLineCount_; }
    void SetHeaderMaxLineCount(int Value);
    int MaxLength();
    void SetMaxLength(int Value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int Value);
    bool OEMConvert() const { return oemConvert_; }
    void SetOEMConvert(bool Value);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char Value);
    bool ReadOnly();
    void SetReadOnly(bool Value);
    int RowIndex() const;
    void SetRowIndex(int Value);
    bool Sizing() const { return sizing_; }
    void SetSizing(bool Value);
    TvxTreeListColumnSort Sorted() const { return sorted_; }
    void SetSorted(TvxTreeListColumnSort Value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool Value) { tabStop_ = Value; }
    TTextLayout VertAlignment() const { return vertAlignment_; }
    void SetVertAlignment(TTextLayout Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    int Width() const { return width_; }
    void SetWidth(int Value);

    uint8_t AssignedValues() const { return assigned_; }
    // Whether a form writes the value (assigned, and where it applies, not the default).
    bool IsAlignmentStored() const { return assigned_ & tlcaAlignment; }
    bool IsCaptionStored();
    bool IsColorStored() const;
    bool IsFontStored() const { return assigned_ & tlcaFont; }
    bool IsMaxLengthStored();
    bool IsReadOnlyStored();
    bool IsWidthStored() const { return assigned_ & tlcaWidth; }

    // The two stored values a form sets inside its loading bracket.
    int LoadedSortedOrder() const { return loadedSortedOrder_; }
    void SetLoadedSortedOrder(int Value) { loadedSortedOrder_ = Value; }
    int StoredRowIndex() const { return storedRowIndex_; }
    void SetStoredRowIndex(int Value) { storedRowIndex_ = Value; }
    bool IsSortedOrderWritten() const;
    bool IsStoredRowIndexWritten() const { return storedRowIndex_ != 0; }

    // While not -1 it stands in for Index (a wrapping column sets it for one call).
    int IndexOverride() const { return indexOverride_; }
    void SetIndexOverride(int Value) { indexOverride_ = Value; }
    TvxTreeListNode* DrawingNode() const { return drawingNode_; }
    void SetDrawingNode(TvxTreeListNode* Value) { drawingNode_ = Value; }

    TNotifyEvent OnChange;
    TvxTLCustomDrawCell OnCustomDrawCell;
    TvxTLCustomDrawHeader OnCustomDrawColumnHeader;
    TNotifyEvent OnNameChanged;
    TvxEditValidateEvent OnValidate;

    // ---- Virtual operations, in slot order ----
    virtual void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value);
    virtual bool HasDrawCellEvent() { return static_cast<bool>(OnCustomDrawCell); }
    virtual void DoChange();
    virtual void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, bool Selected,
                                  bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                                  TAlignment& Alignment, bool& Done);
    virtual void DoValidate(std::string& ErrorText, bool& Accept);
    virtual void FontChanged();
    virtual const TvxInplaceEditClass& GetInplaceEditClass();
    virtual void GetDisplayText(TvxTreeListNode* Node, std::string& Text);
    virtual bool IsEditorEnabled() { return !disableEditor_; }
    virtual void GetHotTrackCursor(TCursor& /*Cursor*/) {}
    virtual int GetIndex() const;
    virtual int GetMinCellHeight() { return 0; }
    virtual TvxEditViewData* GetViewData();
    virtual void InitEditProperties(TvxInplaceEdit* Editor);
    virtual void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value);
    virtual bool IsHotTrack() { return false; }
    virtual bool CanFilter();
    virtual bool IsMultiLine() { return false; }
    virtual bool CanShowButton() { return false; }
    virtual void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell);
    virtual void SetIndex(int Value);
    // True when the column supplies the value an export writes; a value for HTML is markup.
    virtual bool GetExportValue(bool /*IsHTML*/, Variant& /*Value*/) { return false; }
    virtual TAlignment DefaultAlignment() { return taLeftJustify; }
    virtual std::string DefaultCaption() { return {}; }
    virtual int DefaultMaxLength() { return 0; }
    virtual bool DefaultReadOnly() { return false; }
    virtual int DefaultWidth() { return 100; }
    virtual int GetBestFitWidth(TCanvas* Canvas, TvxTreeListNode* Node);
    virtual void GetValueDisplayText(TvxTreeListNode* /*Node*/, const std::string& Text, std::string& Result) {
        Result = Text;
    }
    virtual void RestoreDefaults();

    // The control's font changed or the column's font is not its own yet: follow it.
    void SyncFontWithControl();
    // Re-stores the default width while the width is not assigned.
    void ApplyDefaultWidth();

protected:
    // Tells the control: the whole layout when AllItems, else this column.
    void Changed(bool AllItems);
    // The column joined a control or left it (GetTreeList() tells which).
    virtual void TreeListChanged() {}
    // Set by the data-aware column class's constructor.
    bool dataAware_ = false;

private:
    friend class TCustomvxTreeListControl;
    friend class TvxTreeListBand;
    friend class TvxTreeListBands;

    TCustomvxTreeListControl* treeList_ = nullptr;
    TAlignment alignment_ = taLeftJustify;
    std::string caption_;
    TEditCharCase charCase_ = ecNormal;
    TColor color_ = clWindow;
    bool disableCaption_ = false;
    bool disableCustomizing_ = false;
    bool disableEditor_ = false;
    bool disableDragging_ = false;
    std::unique_ptr<TFont> font_;
    TAlignment headerAlignment_ = taLeftJustify;
    std::unique_ptr<TBitmap> headerGlyph_;
    int maxLength_ = 0;
    int minWidth_ = 20;
    bool oemConvert_ = false;
    char passwordChar_ = 0;
    bool readOnly_ = false;
    int loadedSortedOrder_ = -1;
    bool sizing_ = true;
    bool tabStop_ = true;
    TTextLayout vertAlignment_ = tlTop;
    bool visible_ = true;
    int width_ = 100;
    uint8_t assigned_ = 0;
    int bandIndex_ = 0;
    int rowIndex_ = 0;
    int headerMaxLineCount_ = 1;
    int storedRowIndex_ = 0;
    std::unique_ptr<TvxEditViewData> viewData_;
    bool disableFilter_ = false;
    TvxTreeListColumnSort sorted_ = csNone;
    int indexOverride_ = -1;
    // Where the column last was in its control's list; checked before use, so that asking a
    // column its index on every row costs no search.
    mutable int indexHint_ = 0;
    TvxTreeListNode* drawingNode_ = nullptr;
};

class TvxTreeListMaskColumn : public TvxTreeListColumn {
public:
    explicit TvxTreeListMaskColumn(TComponent* AOwner) : TvxTreeListColumn(AOwner) {}
    std::string ClassName() const override { return "TvxTreeListMaskColumn"; }

    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& Value) { editMask_ = Value; }
    bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
    void SetIgnoreMaskBlank(bool Value) { ignoreMaskBlank_ = Value; }

    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxTreeListMaskColumn(AOwner);
    }
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;

private:
    std::string editMask_;
    bool ignoreMaskBlank_ = false;
};
