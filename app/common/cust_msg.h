#pragma once
// The program's one modal message box and its caller CustMessageDlg: a title and a picture
// by message type, the text measured line by line (lines break at CR, and wrap where they
// would run wider than MessageTextWidth), up to four buttons chosen from a bit set in a fixed
// order, the window sized around them and centred. Enter presses the first button; Esc the
// Cancel button, or the only button a box shows.

#include <cstdint>
#include <string>

#include "app/common/app_controls.h"
#include "platform/forms/form.h"
#include "platform/forms/image.h"
#include "platform/forms/message_text.h"

// Message types and button indexes (bit i of a button set requests index i).
enum : uint8_t { mtCustWarning = 0, mtCustError = 1, mtCustInformation = 2, mtCustConfirmation = 3, mtCustCustom = 4 };
enum : uint16_t {
    mbCustYes = 1 << 0,
    mbCustNo = 1 << 1,
    mbCustOK = 1 << 2,
    mbCustCancel = 1 << 3,
    mbCustHelp = 1 << 4,
    mbCustAbort = 1 << 5,
    mbCustRetry = 1 << 6,
    mbCustIgnore = 1 << 7,
    mbCustAll = 1 << 8,
    mbCustHelp2 = 1 << 10,
};

class TFormCustMsg : public TForm {
public:
    explicit TFormCustMsg(TComponent* AOwner);
    std::string ClassName() const override { return "TFormCustMsg"; }

    // Lays the box out for the message and shows it modally; the pressed button's result,
    // 0 when the window was closed without one.
    uint16_t Execute(const std::string& text, uint8_t type, uint16_t buttons, int32_t helpContext);
    // Lays the box out without showing it (the picture tests and Execute use it).
    void Prepare(const std::string& text, uint8_t type, uint16_t buttons, int32_t helpContext);
    int32_t HelpContext() const { return helpContext_; }
    int ShownButtons() const { return shownButtons_; }

    TImage* Image1;
    TImage* Image2;
    TImage* Image3;
    TImage* Image4;
    TMessageText* Label1;
    TAppButton* Button1;
    TAppButton* Button2;
    TAppButton* Button3;
    TAppButton* Button4;

private:
    void ButtonClick(TObject* Sender);
    TImage* Picture(int type) const;
    TAppButton* ButtonNo(int k) const;
    uint16_t results_[4] = {0, 0, 0, 0};
    uint16_t chosen_ = 0;
    int shownButtons_ = 0;
    int32_t helpContext_ = 1001;
};

extern TFormCustMsg* FormCustMsg;

// Shows `text` in the message box; the result of the pressed button (yes 6, no 7, OK 1,
// cancel 2, abort 3, retry 4, ignore 5, all 8), 0 when closed without a button. Without a
// message box window (no windows yet) the text goes to standard error and 0 comes back.
uint16_t CustMessageDlg(const std::string& text, uint8_t type, uint16_t buttons, int32_t helpContext);

// Replace one title (type 0..4) or one button caption (index 0..10); other indexes are ignored.
void SetCustMsgTitle(int type, const std::string& text);
void SetCustMsgButtonCaption(int index, const std::string& text);
std::string CustMsgTitle(int type);
std::string CustMsgButtonCaption(int index);
// The English titles and captions (a language file is in use).
void UseEnglishMsgTexts();
// Back to the German texts (tests and a restart of the window set).
void UseGermanMsgTexts();
