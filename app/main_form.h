#pragma once
// The main window: a notebook of 26 pages (start page, the configuration and control roads,
// the test, menu, status, settings, wizard, list and door-controller pages, the two hidden
// pages that carry the text catalogue), its status bar with date, time and receive ticker,
// the 100 ms timer, the step progress of long device dialogues, the start work of its first
// show (settings, function list, language, caption, command line) and the orderly end. The
// link writes its controls by name through TLinkMainView.

#include <cstdint>
#include <memory>
#include <string>

#include <array>

#include "app/app_controls.h"
#include "platform/forms/combo_box.h"
#include "app/device_slot_display.h"
#include "app/io_config.h"
#include "link/link_view.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/forms/mask_edit.h"
#include "platform/forms/notebook.h"
#include "platform/forms/page_control.h"
#include "platform/forms/progress_bar.h"
#include "platform/forms/shape.h"
#include "platform/forms/status_bar.h"
#include "platform/forms/timer.h"
#include "platform/rtl/date_time.h"

class TForm1 : public TForm, public TLinkMainView {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    std::string ClassName() const override { return "TForm1"; }

    // A named control of the window; null when there is none or it is of another class.
    template <class T>
    T* Ctl(const std::string& name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // Event handlers.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormResize();
    void Timer1Timer();
    void Timer2Timer();
    void FormKeyPress(char32_t& Key);

    // Status bar and protocol lines.
    void StatusTick() override;
    void AddComLine(const std::string& text) override;

    // Step progress of the long device dialogues.
    void ProgressStart(int32_t steps);
    void ProgressStep();
    void ProgressHide();
    // After 2 whole minutes asks whether to give up; true when the user gave up.
    bool CheckStepTimeout();
    int32_t StepCurrent() const { return step_; }
    int32_t StepCount() const { return stepCount_; }

    // Drop-down lists filled at first show.
    void FillOptionLists();
    void FillDeviceTypeList();
    void FillFunctionLists();
    void FillDoorOptionLists();
    void SetDeviceType(int type);

    // Mode selection and port choice.
    void SearchSerialPorts();
    // A port page came up: the adapters are looked for again.
    void PortPageShown();
    int32_t ConfigPortNumber();
    int32_t CocPortNumber();
    int32_t CtcPortNumber();
    // True when the wrong device (or none) answered, after showing the error.
    bool CheckDoorTerminal();
    bool CheckPortalisDevice();
    void WriteIniInteger(const std::string& key, int32_t value);
    void Button001Click();
    void Button002Click();
    void Button601Click();
    void Button221Click();
    void Button231Click();
    void LoadIoConfigFile(const std::string& fileName);
    void SaveIoConfigFile();
    // Start jobs of the device-list pages; they come with those pages.
    void ShowNetInfo(const std::string& argument);
    void StartReadOD(const std::string& argument);
    // Applies a language file's control texts to the windows (comes with the catalogue).
    void ApplyLanguageFile(const std::string& fileName);

    // The input/output configuration on page CFG (config_page.cpp). Rows 1-16/41-56 inputs,
    // 21-36/61-76 outputs; a row's controls are named after 300 + row. The function code is
    // kept beside its drop-down, so a code without an item survives device -> rows -> device.
    int32_t InputCount(int bank);
    int32_t OutputCount(int bank);
    bool HasExtensionBank();
    int GetDeviceType();
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
    TShape* StateShape(int n);
    TLabel* StateLabel(int n);
    // The rows as a configuration (within all rows; the device type from ImageEdit300), and back.
    TIoConfig RowsToConfig();
    // False (after an error box naming the row) when a typed value does not fit its byte.
    bool RowValuesFit();
    void ConfigToRows(const TIoConfig& config);
    void EncodeInputs();
    void EncodeOutputs();
    void DecodeInputs();
    void DecodeOutputs();
    void RenameFunctionItems();
    void LayoutConfigPage();
    void ImageEdit300Change();
    void ImageEdit301Change(TObject* Sender);
    void ImageEdit321Change(TObject* Sender);
    void Button311Click();
    void Button312Click();
    void Button321Click(TObject* Sender);
    void Button911Click();
    void Button912Click();
    void Button921Click();
    void Button922Click();
    void Button103Click();
    // Configuration file (config_page.cpp).
    void Button301Click();
    void Button302Click();
    // Reading and writing the device (config_road.cpp).
    void ReadConfigHandshake();
    void WriteConfigHandshake();
    void Button101Click();
    void Button102Click();
    void Button201Click();
    void Button202Click();
    void Button303Click();
    void Button401Click();
    // Test page (test_page.cpp).
    void Button501Click();
    void Button502Click();
    void Button503Click();
    void Button504Click();
    void Button505Click();
    void Button506Click();
    void Button507Click();
    void Button508Click();
    void Button509Click();
    void Button510Click();
    void Button511Click();
    void Button551Click();
    void Button552Click();
    void Button553Click();
    std::string VirtualInputBytes();

    // TLinkMainView
    std::string ControlText(const std::string& name) override;
    void SetControlText(const std::string& name, const std::string& text) override;
    void SetShapeColor(const std::string& name, uint32_t color) override;
    void SetFontColor(const std::string& name, uint32_t color) override;
    bool ControlVisible(const std::string& name) override;
    void SetControlVisible(const std::string& name, bool visible) override;
    void SetListItems(const std::string& name, const std::vector<std::string>& items) override;
    void SetStatusPanel(int index, const std::string& text) override;
    void ShowStatusBits(uint16_t word, const std::string& list_name) override;
    void ShowDeviceSlots() override;
    void ShowSlotErrors() override;

    // State.
    bool FirstShowPending = true;
    bool TestPageUnlocked = false;
    bool InstallActive = false;
    bool ReadOdActive = false;
    int32_t HandshakeCountdown = 0;
    int32_t ConfigError = 0;
    int32_t Csm = 1;
    bool Csv = false;

    // Controls the start work uses directly (all others are found by name).
    TNotebook* Notebook1;
    TStatusBar* StatusBar1;
    TTimer* Timer1;
    TTimer* Timer2;
    TTimer* Timer3;
    TProgressBar* ProgressBar701;
    TLabel* Label701;
    TLabel* Label702;
    TNotebook* Notebook2;
    TNotebook* Notebook3;
    TNotebook* Notebook2401;
    TNotebook* Notebook11;
    TNotebook* Notebook21;
    TNotebook* Notebook91;
    TAppEdit* Edit101;
    TAppEdit* Edit601;
    TAppEdit* Edit2401;
    TAppEdit* Edit501;
    TAppImageEdit* ImageEdit101;
    TAppImageEdit* ImageEdit601;
    TAppImageEdit* ImageEdit2401;
    TListBox* ListBox101;
    TListBox* ListBox102;
    TListBox* ListBox11;
    TAppButton* Button101;
    TAppButton* Button601;
    TAppButton* Button2401;

protected:
    void DoShow() override;
    void DoClose(TCloseAction& Action) override;
    void Resize() override;

private:
    void BuildPages();
    void BuildConfigPage(TWinControl* page);
    void WireConfigRoad();
    void BuildTestPage(TWinControl* page);
    void ShowRowPage(TNotebook* notebook, int page, const std::string& toSecond, const std::string& toFirst);
    void ClearAtCreate();
    void ApplySettingsToControls();

    std::string lastDate_;
    std::string lastTime_;
    int32_t step_ = 0;
    int32_t stepCount_ = 1;
    TDateTime stepStart_ = 0;
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    std::unique_ptr<TDeviceSlotDisplay> slots_;
    std::array<uint8_t, 77> rowFunction_{};
};

extern TForm1* Form1;

// The main window's caption with the program's version: a " [...]" already at its end is
// replaced, so the version never shows twice.
std::string CaptionWithVersion(const std::string& caption, const std::string& version);
