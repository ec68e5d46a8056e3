// The port selection dialog over a ports folder of pseudo-terminals.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/comm/comm_device.h"
#include "platform/forms/application.h"
#include "platform/forms/button.h"
#include "platform/forms/combo_box.h"
#include "serial/port_dialog.h"
#include "serial/ser_com_port.h"
#include "tests/support/pty_pair.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"
#include "tests/support/ui_driver.h"

namespace fs = std::filesystem;

class PortDialog : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = std::make_unique<UiDriver>();
        dir_ = temp_.Path();
        setenv("TOVAK_PORTS", dir_.c_str(), 1);
        fs::create_symlink(free_.SlavePath(), dir_ / "COM3");
        fs::create_symlink(busy_.SlavePath(), dir_ / "COM12");
        fs::create_symlink("/nonexistent/tty", dir_ / "COM5");
        ASSERT_TRUE(holder_.Open("COM12")) << "another program holds COM12";
    }
    void TearDown() override {
        holder_.Close();
        unsetenv("TOVAK_PORTS");
        PortSelectionPrompt() = nullptr;
        ResetApplication();
        driver_.reset();
    }
    std::unique_ptr<UiDriver> driver_;
    TempFolder temp_{"tovak-ports"};
    fs::path dir_;
    PtyPair free_;
    PtyPair busy_;
    TCommDevice holder_;
};

TEST_F(PortDialog, ListsPortsThatOpenAndBusyOnesButNotMissingOnes) {
    auto form = std::make_unique<TComSelectForm>(EnsureApplication());
    TStrings* items = form->PortsComboBox->Items();
    EXPECT_GE(items->IndexOf("COM3"), 0);
    EXPECT_GE(items->IndexOf("COM12"), 0) << "a port held by another program is listed";
    EXPECT_LT(items->IndexOf("COM5"), 0);
    EXPECT_EQ(form->PortsComboBox->ItemIndex(), 0);
    EXPECT_FALSE(form->IsPortAvailable(0));
    form->PortsComboBox->SetItemIndex(items->IndexOf("COM12"));
    EXPECT_EQ(form->SelectedPort(), 12);
}

TEST_F(PortDialog, PromptReturnsTheChosenNumberOrCancels) {
    InstallPortSelectionDialog();
    driver_->OnNextModal([](TCustomForm* f, UiDriver& d) {
        auto* dlg = dynamic_cast<TComSelectForm*>(f);
        dlg->PortsComboBox->SetItemIndex(dlg->PortsComboBox->Items()->IndexOf("COM3"));
        d.Click(dlg->OkBtn);
    });
    uint16_t chosen = 0;
    EXPECT_TRUE(PortSelectionPrompt()(chosen));
    EXPECT_EQ(chosen, 3);
    driver_->OnNextModal([](TCustomForm* f, UiDriver& d) { d.Click(dynamic_cast<TComSelectForm*>(f)->AbortBtn); });
    chosen = 0;
    EXPECT_FALSE(PortSelectionPrompt()(chosen));
    EXPECT_EQ(chosen, 0);
}

TEST_F(PortDialog, EnterTakesTheChosenPortAndEscCancels) {
    InstallPortSelectionDialog();
    driver_->OnNextModal([](TCustomForm* f, UiDriver& d) {
        auto* dlg = dynamic_cast<TComSelectForm*>(f);
        dlg->PortsComboBox->SetItemIndex(dlg->PortsComboBox->Items()->IndexOf("COM12"));
        d.Enter();
    });
    uint16_t chosen = 0;
    EXPECT_TRUE(PortSelectionPrompt()(chosen));
    EXPECT_EQ(chosen, 12);
    driver_->OnNextModal([](TCustomForm*, UiDriver& d) { d.Escape(); });
    chosen = 0;
    EXPECT_FALSE(PortSelectionPrompt()(chosen));
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(0, driver_->PendingModalScripts());
}

TEST_F(PortDialog, OkOnAnEmptyListActsAsCancel) {
    auto form = std::make_unique<TComSelectForm>(EnsureApplication());
    form->PortsComboBox->Items()->Clear();
    driver_->OnNextModal([](TCustomForm* f, UiDriver& d) { d.Click(dynamic_cast<TComSelectForm*>(f)->OkBtn); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(form->SelectedPort(), 0);
    std::string png = TestPicturePath("tovak_port_dialog.png");
    form->PortsComboBox->Items()->Add("COM3");
    form->PortsComboBox->SetItemIndex(0);
    form->Show();
    ASSERT_TRUE(driver_->SaveForm(form.get(), png));
}
