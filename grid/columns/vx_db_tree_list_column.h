#pragma once
// TvxDBTreeListColumn: a tree list column bound by name to a dataset field. It takes its
// caption, width, alignment, length and read-only defaults from the field, fills the nodes'
// cell records from the current record, writes edited text back into the field, and
// carries the summary settings. A name that names no field leaves the column unbound
// (empty text, defaults without a field, no editing) until the field exists.

#include <functional>
#include <string>

#include "grid/core/vx_db_tree_list_node.h"
#include "grid/summaries/vx_summary.h"
#include "platform/rtl/scope_exit.h"
#include "treelist/tree_list_column.h"

class TCustomvxDBTreeListControl;
class TField;
class TvxDBTreeListColumn;

using TColumnGetText = std::function<void(TObject* Sender, TvxTreeListNode* ANode, std::string& AText)>;
using TCustomDrawEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                            TvxTreeListNode* ANode, TvxDBTreeListColumn* AColumn, std::string& AText,
                                            TFont* AFont, TColor& AColor, bool ASelected, bool AFocused, bool& ADone)>;
using TCustomDrawHeaderEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                                  TvxDBTreeListColumn* AColumn, bool& ADone)>;
using TvxDrawSummaryFooter =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, std::string& AText,
                       TAlignment& AAlignment, TFont* AFont, TColor& AColor, bool& ADone)>;

// The filter comparisons a column offers, one bit each.
enum TvxFilterOperator : uint8_t {
    foEqual,
    foNotEqual,
    foGreater,
    foGreaterEqual,
    foLess,
    foLessEqual,
    foBlanks,
    foNonBlanks
};
using TvxFilterOperators = uint8_t;
inline constexpr TvxFilterOperators vxAllFilterOperators = 0xFF;
// The comparisons of columns whose values are picked from a list: equal or not, blank or not.
inline constexpr TvxFilterOperators vxListFilterOperators = (1u << foEqual) | (1u << foNotEqual) | (1u << foBlanks) |
                                                            (1u << foNonBlanks);

class TvxDBTreeListColumn : public TvxTreeListColumn {
public:
    explicit TvxDBTreeListColumn(TComponent* AOwner);
    ~TvxDBTreeListColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override { return new TvxDBTreeListColumn(AOwner); }

    // The control as a data-aware one; null while the column is in none, and once the
    // data-aware part of its control has been taken apart.
    TCustomvxDBTreeListControl* DBControl() const { return dbControl_; }
    // The data-aware part of the control is being taken apart.
    void ForgetDBControl() { dbControl_ = nullptr; }
    TField* Field() const { return field_; }
    // The control's notice that the field is gone.
    void ForgetField() { field_ = nullptr; }

    // ---- Published properties ----
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldNameProperty(const std::string& Value) { SetFieldName(Value); }
    bool DisableGrouping() const { return disableGrouping_; }
    void SetDisableGrouping(bool Value);
    TvxSummaryType SummaryFooterType() const { return summaryFooterType_; }
    void SetSummaryFooterType(TvxSummaryType Value);
    const std::string& SummaryFooterField() const { return summaryFooterField_; }
    void SetSummaryFooterField(const std::string& Value);
    const std::string& SummaryFooterFormat() const { return summaryFooterFormat_; }
    void SetSummaryFooterFormat(const std::string& Value);
    TColumnGetText OnGetText;
    TCustomDrawEvent OnCustomDraw;
    TCustomDrawHeaderEvent OnCustomDrawHeader;
    TvxSummaryEvent OnSummaryFooter;
    TvxDrawSummaryFooter OnDrawSummaryFooter;

    // ---- Held here, published by the grid's columns ----
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    // Stores without asking the control (the control's own regrouping).
    void StoreGroupIndex(int Value) { groupIndex_ = Value; }
    TvxSummaryType SummaryType() const { return summaryType_; }
    void SetSummaryType(TvxSummaryType Value);
    const std::string& SummaryField() const { return summaryField_; }
    void SetSummaryField(const std::string& Value);
    const std::string& SummaryFormat() const { return summaryFormat_; }
    void SetSummaryFormat(const std::string& Value);
    bool SortBySummary() const { return sortBySummary_ && summaryType_ != cstNone; }
    void SetSortBySummary(bool Value);
    const std::string& SummaryGroupName() const { return summaryGroupName_; }
    void SetSummaryGroupName(const std::string& Value);
    TvxSummaryEvent OnSummary;

    // The footer summary's field, running value and record count (filled by the grid).
    TField* SummaryFooterFieldObject() const { return footerField_; }
    void SetSummaryFooterFieldObject(TField* Value) { footerField_ = Value; }
    TField* SummaryFieldObject() const { return summaryFieldObject_; }
    void SetSummaryFieldObject(TField* Value) { summaryFieldObject_ = Value; }
    TvxSummaryAccumulator& FooterSummary() { return footerSummary_; }

    // ---- Virtual operations of this class, in slot order ----
    virtual void SetFieldName(const std::string& Value);
    virtual bool KeepsFieldValue() { return false; }
    virtual void LoadColumnNodeData(TvxTreeListNode* Node);
    virtual TvxInplaceEdit* CreateFilterEdit(TComponent* AOwner);
    virtual const TvxInplaceEditClass& GetFilterEditClass();
    virtual void GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText);
    virtual void SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value);
    virtual TvxFilterOperators GetFilterOperators() { return vxAllFilterOperators; }
    // The type the filter dialog converts its values to; varVariant: no conversion.
    virtual TVarType GetFilterValueType();
    virtual void GetFilterNodeValue(TvxTreeListNode* Node, Variant& Value);
    virtual void GetFilterNodeDisplay(TvxTreeListNode* Node, Variant& Value, std::string& Text);
    virtual void GetFilterDisplayText(std::string& /*Text*/) {}
    virtual void GetSummaryFooterText(std::string& Text);
    virtual void GetValueText(const Variant& Value, std::string& Text);
    virtual bool EditsFieldValue() { return false; }
    virtual bool IsFieldValueEqual(const Variant& Value);
    virtual void InitFilterEdit(TvxInplaceEdit* Editor);
    virtual bool IsValidChar(char32_t Key);

    // ---- Overrides ----
    void Assign(TPersistent* Source) override;
    void SetName(const std::string& NewName) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    bool HasDrawCellEvent() override;
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, bool Selected, bool Focused,
                          bool NewItemRow, std::string& Text, TColor& Color, TFont* Font, TAlignment& Alignment,
                          bool& Done) override;
    void GetDisplayText(TvxTreeListNode* Node, std::string& Text) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void SetIndex(int Value) override;
    TAlignment DefaultAlignment() override;
    std::string DefaultCaption() override;
    int DefaultMaxLength() override;
    bool DefaultReadOnly() override;
    int DefaultWidth() override;
    void RestoreDefaults() override;

protected:
    // Whether the control is there and its link active.
    bool LinkActive() const;
    void ColumnChanged() { Changed(false); }
    // A property setter: stores a differing value and reports the change.
    template <class T>
    void StoreProperty(T& Field, const T& Value) {
        if (Field == Value) return;
        Field = Value;
        ColumnChanged();
    }
    // How an editor that holds a typed value (a number, a date, a time) is saved: when it is
    // empty the field is cleared, else Store writes the value into the field. Answers the
    // cell's new value as the control shows it; the caller has made sure of field and control.
    Variant StoreEditValue(TvxTreeListNode* Node, bool Empty, const std::function<void(TField*)>& Store);
    void TreeListChanged() override;

private:
    // Found once when the column joins a control: every row loaded asks for it.
    TCustomvxDBTreeListControl* dbControl_ = nullptr;
    std::string fieldName_;
    TField* field_ = nullptr;
    bool disableGrouping_ = false;
    int groupIndex_ = -1;
    TvxSummaryType summaryType_ = cstNone;
    std::string summaryField_;
    std::string summaryFormat_;
    bool sortBySummary_ = false;
    std::string summaryGroupName_;
    TvxSummaryType summaryFooterType_ = cstNone;
    std::string summaryFooterField_;
    std::string summaryFooterFormat_;
    TField* footerField_ = nullptr;
    TField* summaryFieldObject_ = nullptr;
    TvxSummaryAccumulator footerSummary_;
};

// Holds the control's updates while a column copies another (when the column has a control);
// their end, which may reach a handler, runs where its exception reaches the caller.
class TvxColumnAssignScope {
public:
    explicit TvxColumnAssignScope(TvxDBTreeListColumn* Column);
    TvxColumnAssignScope(const TvxColumnAssignScope&) = delete;
    TvxColumnAssignScope& operator=(const TvxColumnAssignScope&) = delete;

private:
    struct End {
        TCustomvxDBTreeListControl* control;
        void operator()() const;
    };
    static End Begin(TvxDBTreeListColumn* Column);
    TScopeExit<End> end_;
};
