#pragma once
// The button column: an editor with up to eight buttons. EditButtonStyle keeps a first
// button of the matching kind (ebsSimple: no buttons); a click reports the button's index.

#include <memory>

#include "controls/vx_edit_buttons.h"
#include "grid/columns/vx_db_drop_down_column.h"

enum TvxEditButtonStyle { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };

class TvxDBTreeListButtonColumn;

// A button column's buttons: any change to them repaints the column's control.
class TvxColumnEditButtons : public TvxEditButtons {
public:
    explicit TvxColumnEditButtons(TComponent* AOwner) : TvxEditButtons(AOwner) {}
    std::string ClassName() const override { return "TvxColumnEditButtons"; }

protected:
    void Update(TCollectionItem* Item) override;
};

class TvxDBTreeListButtonColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListButtonColumn(TComponent* AOwner);
    ~TvxDBTreeListButtonColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListButtonColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListButtonColumn(AOwner);
    }

    struct TProperties {
        bool ButtonOnly = false;
        TvxEditButtonStyle EditButtonStyle = ebsEllipsis;
        TShortCut ClickKey = scCtrl | 13;
        bool HideEditCursor = false;
        TvxEditButtonClickEvent OnButtonClick;
    };

    bool ButtonOnly() const { return button_.ButtonOnly; }
    void SetButtonOnly(bool Value) { StoreProperty(button_.ButtonOnly, Value); }
    TvxColumnEditButtons* Buttons() const { return buttons_.get(); }
    void SetButtons(TvxEditButtons* Value) { buttons_->Assign(Value); }
    TvxEditButtonStyle EditButtonStyle() const { return button_.EditButtonStyle; }
    void SetEditButtonStyle(TvxEditButtonStyle Value);
    TShortCut ClickKey() const { return button_.ClickKey; }
    void SetClickKey(TShortCut Value) { StoreProperty(button_.ClickKey, Value); }
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    bool HideEditCursor() const { return button_.HideEditCursor; }
    void SetHideEditCursor(bool Value) { StoreProperty(button_.HideEditCursor, Value); }
    TvxEditButtonClickEvent& OnButtonClick() { return button_.OnButtonClick; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;

private:
    friend class TvxColumnEditButtons;
    void ButtonsChanged() { Changed(true); }
    void ApplyButtonStyle();

    TProperties button_;
    std::unique_ptr<TvxColumnEditButtons> buttons_;
    std::unique_ptr<TBitmap> glyph_;
};
