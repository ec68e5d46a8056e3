#include "app/pages/control/page_ei2.h"

#include <cstdio>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/main_pages.h"
#include "link/wait_for.h"
#include "platform/win/message_queue.h"
#include "program/text_utils.h"

namespace {

constexpr uint16_t kLockingIndex = 0x2200;
constexpr uint8_t kLockingSub = 14;
constexpr uint16_t kLockingMode = 0x20;
constexpr uint16_t kSwingDoor = 0x40;
constexpr int32_t kKvBox = 6;

}  // namespace

TPageEI2::TPageEI2(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label1100 = b_.Label(p, "Label1100", "Erweiterte System-Einstellungen", 16, 16, true);
    for (int k = 1; k <= 8; ++k) {
        const int y = 48 + (k - 1) * 32;
        const std::string n = std::to_string(1090 + k);
        b_.Label(p, "Label" + std::to_string(1080 + k), "KV " + std::to_string(k) + ":", 16, y + 4);
        TBoxRow row;
        row.Label = b_.Label(p, "Label" + n, "[--]", 64, y + 4);
        row.ImageEdit = b_.ImageEdit(p, "ImageEdit" + n, 112, y, 224);
        row.CheckEdit = b_.Make<TAppCheckEdit>(p, "CheckEdit" + n, 352, y + 2, 200, 17);
        boxRows_.push_back(row);
    }
    const auto row = b_.ButtonRow(p, {{"Button1011", "&OK"}, {"Button1012", "&Abbruch"}});
    Button1011 = row[0];
    Button1012 = row[1];
    Button1011->OnClick = [this](TObject*) { Button1011Click(); };
    Button1012->OnClick = [this](TObject*) { Button1012Click(); };
}

void TPageEI2::FillDoorOptionLists() {
    for (const TBoxRow& row : boxRows_) {
        row.ImageEdit->SetItems({{GetCompText(1111), 0}, {GetCompText(1112), 2}});
        row.ImageEdit->SetEditValue("0");
        row.CheckEdit->SetCaption(GetCompText(1113));
    }
}

bool TPageEI2::ReadLockingWords() {
    replies_.fill(TOdReply{});
    const TNodeTable& table = session_.LinkState.NodeTable;
    size_t next = 0;
    for (size_t i = 1; i <= 32; ++i) {
        const TNodeEntry& e = table.Nodes[i];
        if (!e.Present || !e.SameNode || e.ProdCode != kKvBox) continue;
        if (!session_.SendShortCommand(e.NodeID, kLockingIndex, kLockingSub)) {
            // A lost link has said so already.
            if (!session_.LinkUp() || ProgramEnding()) return false;
            std::string text = GetCompText(1210);
            const size_t at = text.find("%s");
            if (at != std::string::npos) text.replace(at, 2, IntToHex16(e.NodeID, 2));
            CustMessageDlg(text, mtCustError, mbCustCancel, 0);
            return false;
        }
        replies_[next] = session_.LinkState.OdReply;
        if (next < replies_.size() - 1) ++next;
    }
    for (size_t k = 0; k < boxRows_.size(); ++k) {
        const TBoxRow& row = boxRows_[k];
        const TOdReply& r = replies_[k];
        if (r.Node != 0) {
            const uint16_t word = HexToInt16(r.Value.size() >= 4 ? r.Value.substr(r.Value.size() - 4) : r.Value);
            row.Label->SetCaption("[" + IntToStrZero(r.Node, 2) + "]");
            row.ImageEdit->SetEditValue(word & kLockingMode ? "2" : "0");
            row.ImageEdit->SetEnabled(true);
            row.CheckEdit->SetEnabled(true);
            row.CheckEdit->SetChecked((word & kSwingDoor) != 0);
        } else {
            row.Label->SetCaption("[--]");
            row.ImageEdit->SetEditValue("2");
            row.ImageEdit->SetEnabled(false);
            row.CheckEdit->SetChecked(false);
            row.CheckEdit->SetEnabled(false);
        }
    }
    return true;
}

void TPageEI2::Button1011Click() {
    TPageEIN& ein = *Pages().EIN;
    ein.EnableButtons(false);
    ein.ShowBusy(true, GetCompText(1101));
    ein.Show();
    LetWindowsRepaint();
    for (size_t k = 0; k < boxRows_.size(); ++k) {
        // Without the link every write is refused; the loss has been shown at the first.
        if (!session_.LinkUp()) break;
        const TBoxRow& row = boxRows_[k];
        const TOdReply& r = replies_[k];
        if (!row.ImageEdit->Enabled()) continue;
        uint32_t word = HexToInt32(r.Value);
        word = row.ImageEdit->EditValue() != "0" ? word | kLockingMode : word & ~uint32_t{kLockingMode};
        word = row.CheckEdit->Checked() ? word | kSwingDoor : word & ~uint32_t{kSwingDoor};
        // The read-back is not judged here: the store command below follows either way.
        session_.SendLongCommand(r.Node, r.Index, r.SubIndex, r.OdStatus, IntToHex32(word, 8));
        if (!session_.LinkUp()) break;
        session_.SendLongCommand(r.Node, 0x1010, 1, 4, "65766173");
    }
    ein.EnableButtons(true);
    ein.ShowBusy(false);
}

void TPageEI2::Button1012Click() { Pages().EIN->Show(); }
