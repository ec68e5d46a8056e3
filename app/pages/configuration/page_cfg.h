#pragma once
// Page CFG, the configuration editor: the rows of the input/output configuration with their
// function drop-downs, inverted flags, delay or time-limit edits and alarm-mask buttons; the
// device type that decides which rows exist; the standard configurations, the alarm-mask
// dialog, the configuration file and the start of the writing road.
//
// Rows 1-16/41-56 are inputs, 21-36/61-76 outputs; a row's controls are named after 300 +
// row and found by that name. The function code is kept beside its drop-down, so a code
// without an item survives device -> rows -> device.

#include <array>

#include "app/config/io_config.h"
#include "app/pages/main_page.h"
#include "platform/forms/file_dialog.h"
#include "platform/forms/page_control.h"

class TPageCFG : public TMainPage {
public:
    static constexpr int Index = 3;
    explicit TPageCFG(TMainPages& pages);

    // The model.
    int32_t InputCount(int bank);
    int32_t OutputCount(int bank);
    bool HasExtensionBank();
    int GetDeviceType();
    void SetDeviceType(int type);
    TLabel* RowLabel(int row);
    TAppImageEdit* RowFunctionEdit(int row);
    TAppCheckEdit* RowFlagEdit(int row);
    TAppEdit* RowParamEdit(int row);
    TAppButton* RowMaskButton(int row);
    int32_t GetRowFunction(int row);
    void SetRowFunction(int row, int32_t value);
    int32_t GetRowFlag(int row);
    void SetRowFlag(int row, int32_t value);
    int32_t GetRowParam(int row);
    void SetRowParam(int row, int32_t value);
    int32_t GetRowMask(int row);
    void SetRowMask(int row, int32_t value);
    // The rows as a configuration (within all rows; the device type from ImageEdit300), and back.
    TIoConfig RowsToConfig();
    // False (after an error box naming the row) when a typed value does not fit its byte.
    bool RowValuesFit();
    void ConfigToRows(const TIoConfig& config);
    // Between the rows and the block texts of the test page.
    void EncodeInputs();
    void EncodeOutputs();
    void DecodeInputs();
    void DecodeOutputs();
    // Fills the rows from both blocks and shows the page.
    void ShowBlocks();
    void FillDeviceTypeList();
    void FillFunctionLists();
    void RenameFunctionItems();
    void LayoutConfigPage();

    // Handlers.
    void ImageEdit300Change();
    void ImageEdit301Change(TObject* Sender);  // every input function drop-down
    void ImageEdit321Change(TObject* Sender);  // every output function drop-down
    void Button311Click();
    void Button312Click();
    void Button321Click(TObject* Sender);  // every mask button
    void Button911Click();
    void Button912Click();
    void Button921Click();
    void Button922Click();
    void Button301Click();
    void Button302Click();
    // The writing road (Button303, and WRX's "Wiederholen"): encodes and writes both blocks,
    // then reads them back.
    void WriteConfiguration();

    TLabel* Label11;
    TAppImageEdit* ImageEdit300;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TLabel* Label31;
    TAppButton* Button911;
    TAppButton* Button912;
    TAppButton* Button311;
    TLabel* Label33;
    TLabel* Label5;
    TLabel* Label34;
    TNotebook* Notebook91;
    TTabSheet* TabSheet2;
    TLabel* Label32;
    TAppButton* Button921;
    TAppButton* Button922;
    TAppButton* Button312;
    TLabel* Label35;
    TLabel* Label36;
    TLabel* Label6;
    TLabel* Label37;
    TNotebook* Notebook92;
    TAppButton* Button301;
    TAppButton* Button302;
    TAppButton* Button303;
    TAppButton* Button304;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;

private:
    void BuildRows(TNotebook* notebook, bool inputs);
    void ShowRowPage(TNotebook* notebook, int page, TAppButton* toSecond, TAppButton* toFirst);

    std::array<uint8_t, 77> rowFunction_{};
};
