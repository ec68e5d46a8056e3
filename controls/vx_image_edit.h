#pragma once
// TvxInplaceImageEdit: shows a picture and/or a description chosen by the editor's value
// instead of editable text. Three parallel lists map each stored value (Values) to a
// description and an image index (or the item's own position with DefaultImages). The
// value is picked from an owner-drawn pop-up list, stepped with keys or the wheel, or found
// by typing the first letter of a description. A text that is no value is painted as it is.

#include <memory>

#include "controls/vx_drop_down_edit.h"
#include "controls/vx_popup_list_box.h"
#include "platform/classes/string_list.h"
#include "platform/gdi/image_list.h"

struct TvxImageEditViewData : TvxDropDownEditViewData {
    bool DefaultImages = true;
    TStrings* Descriptions = nullptr;  // not owned
    TStrings* ImageIndexes = nullptr;
    TCustomImageList* Images = nullptr;
    bool ShowDescription = true;
    TStrings* Values = nullptr;
};

class TvxInplaceImageEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceImageEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    bool DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const override;
    int GetAutoHeight(const TvxEditViewData& ViewData) const override;

    // Item of Text (exact match among Values), -1 when it is none.
    static int ItemOf(TStrings* Values, const std::string& Text);
    // Image of item Index: its position with DefaultImages, else its ImageIndexes entry
    // read as a decimal number; -1 when it has none.
    static int ItemImageIndex(bool DefaultImages, TStrings* ImageIndexes, int Index);
    static std::string ItemDescription(TStrings* Descriptions, int Index);
};

class TvxInplaceImageEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplaceImageEdit(TComponent* AOwner);
    ~TvxInplaceImageEdit() override;
    static const TvxInplaceImageEditClass& StaticClass();

    // ---- Properties ----
    bool DefaultImages() const { return defaultImages_; }
    void SetDefaultImages(bool v);
    TStrings* Descriptions() const { return descriptions_.get(); }
    void SetDescriptions(TStrings* v);
    TStrings* ImageIndexes() const { return imageIndexes_.get(); }
    void SetImageIndexes(TStrings* v);
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* v);
    bool Incremental() const { return incremental_; }
    void SetIncremental(bool v) { incremental_ = v; }
    TCustomImageList* LargeImages() const { return largeImages_; }
    void SetLargeImages(TCustomImageList* v);
    bool MultiLineText() const { return multiLineText_; }
    void SetMultiLineText(bool v);
    TvxPopupImageListBox* PopupList() const { return popupList_; }
    bool ShowDescription() const { return showDescription_; }
    void SetShowDescription(bool v);
    TStrings* Values() const { return values_.get(); }
    void SetValues(TStrings* v);

    // The item of the current text, -1 when the text is no value.
    int ItemIndex() const;
    // Sets a different text when the editor may change it, and marks it modified.
    virtual void SetValueText(const std::string& Text);

    // ---- Overrides ----
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    bool IsTextEditor() const override { return false; }
    void CloseUp(bool Accept) override;
    void StepItem(int Delta, bool Cycle) override;
    void DropDown() override;

protected:
    TvxInplaceImageEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    void MoveChangeLink(TChangeLink* Link, TCustomImageList*& Field, TCustomImageList* Value);
    // The list holds the descriptions and images of the values, sized and placed below.
    void FillImageList();

    bool defaultImages_ = true;
    std::unique_ptr<TStringList> descriptions_;
    std::unique_ptr<TChangeLink> imagesChangeLink_;
    std::unique_ptr<TStringList> imageIndexes_;
    TCustomImageList* images_ = nullptr;
    bool incremental_ = false;
    std::unique_ptr<TChangeLink> largeImagesChangeLink_;
    TCustomImageList* largeImages_ = nullptr;
    bool multiLineText_ = false;
    TvxPopupImageListBox* popupList_ = nullptr;
    bool showDescription_ = true;
    std::unique_ptr<TStringList> values_;
};
