#pragma once
// The check column: a field shown as a check box. A text equal (in any case) to
// ValueChecked is checked, to ValueUnchecked unchecked, anything else grayed; the column
// shows and writes its own spellings. The grid's check column adds the texts the filter
// list shows for the three states.

#include <functional>
#include <memory>
#include <string>

#include "controls/vx_check_edit.h"
#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

class TBitmap;

using TvxToggleEvent = std::function<void(TObject* Sender, const std::string& Text, TvxCheckBoxState State)>;

inline constexpr const char* kvxCheckTrueText = "True";
inline constexpr const char* kvxCheckFalseText = "False";

class TvxDBTreeListCheckColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListCheckColumn(TComponent* AOwner);
    ~TvxDBTreeListCheckColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListCheckColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListCheckColumn(AOwner);
    }

    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool Value);
    bool Border3D() const { return border3D_; }
    void SetBorder3D(bool Value);
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    int GlyphCount() const { return glyphCount_; }
    void SetGlyphCount(int Value);
    TvxShowNullFieldStyle ShowNullFieldStyle() const { return showNullFieldStyle_; }
    void SetShowNullFieldStyle(TvxShowNullFieldStyle Value);
    const std::string& ValueChecked() const { return valueChecked_; }
    void SetValueChecked(const std::string& Value);
    const std::string& ValueGrayed() const { return valueGrayed_; }
    void SetValueGrayed(const std::string& Value);
    const std::string& ValueUnchecked() const { return valueUnchecked_; }
    void SetValueUnchecked(const std::string& Value);
    TvxToggleEvent OnToggleClick;

    TvxCheckBoxState StateOfText(const std::string& Text) const;
    const std::string& TextOfState(TvxCheckBoxState State) const;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void GetValueDisplayText(TvxTreeListNode* Node, const std::string& Text, std::string& Result) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void DoChange() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    int GetMinCellHeight() override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;
    bool IsFieldValueEqual(const Variant& Value) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    TvxFilterOperators GetFilterOperators() override { return vxListFilterOperators; }
    void GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) override;
    void SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) override;
    void InitFilterEdit(TvxInplaceEdit* Editor) override;

private:
    bool allowGrayed_ = false;
    bool border3D_ = false;
    std::unique_ptr<TBitmap> glyph_;
    int glyphCount_ = 6;
    TvxShowNullFieldStyle showNullFieldStyle_ = nsUnchecked;
    std::string valueChecked_ = kvxCheckTrueText;
    std::string valueGrayed_;
    std::string valueUnchecked_ = kvxCheckFalseText;
};

class TvxDBGridCheckColumn : public TvxDBTreeListCheckColumn {
public:
    explicit TvxDBGridCheckColumn(TComponent* AOwner) : TvxDBTreeListCheckColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBGridCheckColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override { return new TvxDBGridCheckColumn(AOwner); }

    const std::string& DisplayChecked() const { return displayChecked_; }
    void SetDisplayChecked(const std::string& Value);
    const std::string& DisplayUnChecked() const { return displayUnChecked_; }
    void SetDisplayUnChecked(const std::string& Value);
    const std::string& DisplayNull() const { return displayNull_; }
    void SetDisplayNull(const std::string& Value);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    void GetFilterDisplayText(std::string& Text) override;
    void InitFilterEdit(TvxInplaceEdit* Editor) override;

private:
    std::string displayChecked_;
    std::string displayUnChecked_;
    std::string displayNull_;
};
