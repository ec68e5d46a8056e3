#pragma once
// The image column: a value chosen from a list of values, shown with its image and
// description. A value that is not listed shows its own text.

#include <memory>

#include "grid/columns/vx_db_drop_down_column.h"
#include "platform/classes/string_list.h"

class TvxDBTreeListImageColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListImageColumn(TComponent* AOwner);
    ~TvxDBTreeListImageColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListImageColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListImageColumn(AOwner);
    }

    struct TProperties {
        bool DefaultImages = true;
        TCustomImageList* Images = nullptr;
        TCustomImageList* LargeImages = nullptr;
        bool Incremental = false;
        int ListWidth = 0;
        bool MultiLineText = false;
        bool ShowDescription = false;
        TvxCloseUpEvent OnCloseUp;
    };

    bool DefaultImages() const { return image_.DefaultImages; }
    void SetDefaultImages(bool Value) { StoreProperty(image_.DefaultImages, Value); }
    TStrings* Descriptions() const { return descriptions_.get(); }
    void SetDescriptions(TStrings* Value);
    TCustomImageList* Images() const { return image_.Images; }
    void SetImages(TCustomImageList* Value);
    TStrings* ImageIndexes() const { return imageIndexes_.get(); }
    void SetImageIndexes(TStrings* Value);
    bool Incremental() const { return image_.Incremental; }
    void SetIncremental(bool Value) { StoreProperty(image_.Incremental, Value); }
    TCustomImageList* LargeImages() const { return image_.LargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    int ListWidth() const { return image_.ListWidth; }
    void SetListWidth(int Value) { StoreProperty(image_.ListWidth, Value); }
    bool MultiLineText() const { return image_.MultiLineText; }
    void SetMultiLineText(bool Value) { StoreProperty(image_.MultiLineText, Value); }
    bool ShowDescription() const { return image_.ShowDescription; }
    void SetShowDescription(bool Value) { StoreProperty(image_.ShowDescription, Value); }
    TStrings* Values() const { return values_.get(); }
    void SetValues(TStrings* Value);
    TvxCloseUpEvent& OnCloseUp() { return image_.OnCloseUp; }

    // The description listed for a value's text; the text itself when it is not listed.
    std::string DescriptionOf(const std::string& Text) const;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void GetValueDisplayText(TvxTreeListNode* Node, const std::string& Text, std::string& Result) override;
    bool GetExportValue(bool IsHTML, Variant& Value) override;
    int GetBestFitWidth(TCanvas* Canvas, TvxTreeListNode* Node) override;
    int GetMinCellHeight() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    TvxFilterOperators GetFilterOperators() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ListsChanged() { Changed(false); }

    TProperties image_;
    std::unique_ptr<TStringList> descriptions_;
    std::unique_ptr<TStringList> imageIndexes_;
    std::unique_ptr<TStringList> values_;
};
