#include "platform/forms/file_dialog_form.h"

#include <algorithm>
#include <system_error>

#include "platform/forms/button.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/file_name_edit.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/forms/message_dlg.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMargin = 8;
constexpr int kLabelWidth = 72;
constexpr int kListTop = 32;
constexpr int kListHeight = 180;
constexpr int kFolderListWidth = 160;
constexpr int kClientWidth = 472;
constexpr int kButtonWidth = 73;
constexpr int kButtonHeight = 25;
constexpr int kEditHeight = 21;

bool Matches(const std::u32string& name, size_t n, const std::u32string& mask, size_t m) {
    // Iterative wildcard match with one backtrack point for the last "*".
    size_t starMask = std::u32string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == U'?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::u32string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == U'*') ++m;
    return m == mask.size();
}

bool Hidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

bool IsDir(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// The existing file of that name in its folder: the exact name first, then one that
// differs only in case (files from Windows installations).
fs::path FindExisting(const fs::path& p) {
    if (Exists(p)) return p;
    std::error_code ec;
    std::string wanted = p.filename().string();
    for (fs::directory_iterator it(p.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (AnsiSameText(name, wanted)) return it->path();
    }
    return p;
}

void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int c = AnsiCompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
}

}  // namespace

std::vector<TFileFilter> ParseFileFilter(const std::string& Filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = Filter.find('|', start);
        parts.push_back(Filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<TFileFilter> out;
    if (Filter.empty()) return out;
    for (size_t i = 0; i < parts.size(); i += 2) {
        TFileFilter f;
        f.Description = Trim(parts[i]);
        if (i + 1 < parts.size()) {
            std::string masks = parts[i + 1];
            size_t s = 0;
            for (;;) {
                size_t semi = masks.find(';', s);
                std::string mask = Trim(masks.substr(s, semi == std::string::npos ? std::string::npos : semi - s));
                if (!mask.empty()) f.Masks.push_back(mask);
                if (semi == std::string::npos) break;
                s = semi + 1;
            }
        }
        if (f.Masks.empty()) f.Masks.push_back("*");
        if (f.Description.empty()) f.Description = f.Masks.front();
        out.push_back(std::move(f));
    }
    return out;
}

bool MatchesFileMask(const std::string& Name, const std::string& Mask) {
    if (Mask == "*.*" || Mask == "*") return true;
    return Matches(ToU32(AnsiUpperCase(Name)), 0, ToU32(AnsiUpperCase(Mask)), 0);
}

// ---- TFileDialogForm ----

TFileDialogForm::TFileDialogForm(TOpenDialog* Dialog)
    : TForm(nullptr),
      dialog_(Dialog),
      save_(Dialog->IsSaveDialog()),
      options_(Dialog->Options()),
      defaultExt_(Dialog->DefaultExt()),
      filters_(ParseFileFilter(Dialog->Filter())) {
    if (options_.Contains(ofFileMustExist) && !save_) options_.Include(ofPathMustExist);
    SetName("FileDialog");
    Build();

    // Start where the given name lives, else in InitialDir, else in the current folder.
    fs::path given = ExpandHomeFolder(Dialog->FileName());
    const std::string initialDir = ExpandHomeFolder(Dialog->InitialDir());
    fs::path start;
    std::string name = given.filename().string();
    if (given.has_parent_path() && IsDir(given.parent_path()))
        start = given.parent_path();
    else if (!initialDir.empty() && IsDir(initialDir))
        start = initialDir;
    else {
        std::error_code ec;
        start = fs::current_path(ec);
        if (ec) start = "/";
    }
    if (IsDir(given)) {
        start = given;
        name.clear();
    }
    int index = Dialog->FilterIndex();
    if (index < 1 || index > static_cast<int>(filters_.size())) index = 1;
    if (!filters_.empty()) filterCombo_->SetItemIndex(index - 1);
    SetFolder(start);
    nameEdit_->SetText(name);
}

void TFileDialogForm::Build() {
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    std::string title = dialog_->Title();
    if (title.empty()) title = save_ ? "Speichern unter" : "Öffnen";
    SetCaption(title);
    SetClientWidth(kClientWidth);

    auto label = [this](const char* name, const std::string& caption, int x, int y) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(this);
        l->SetCaption(caption);
        l->SetLeft(x);
        l->SetTop(y);
        return l;
    };
    const int fieldLeft = kMargin + kLabelWidth + kMargin;
    const int fieldWidth = kClientWidth - fieldLeft - kMargin;

    folderLabel_ = label("FolderLabel", save_ ? "Speichern &in:" : "Suchen &in:", kMargin, 12);
    pathLabel_ = label("PathLabel", "", fieldLeft, 12);
    pathLabel_->SetShowAccelChar(false);
    pathLabel_->SetAutoSize(false);
    pathLabel_->SetBounds(fieldLeft, 12, fieldWidth, 13);

    folderList_ = new TListBox(this);
    folderList_->SetName("FolderList");
    folderList_->SetParent(this);
    folderList_->SetBounds(kMargin, kListTop, kFolderListWidth, kListHeight);
    folderList_->OnDblClick = [this](TObject*) { OpenFolderItem(folderList_->ItemIndex()); };
    folderLabel_->SetFocusControl(folderList_);

    fileList_ = new TListBox(this);
    fileList_->SetName("FileList");
    fileList_->SetParent(this);
    int filesLeft = kMargin + kFolderListWidth + kMargin;
    fileList_->SetBounds(filesLeft, kListTop, kClientWidth - filesLeft - kMargin, kListHeight);
    fileList_->OnClick = [this](TObject*) {
        if (fileList_->ItemIndex() >= 0) nameEdit_->SetText(fileList_->Items()->Strings(fileList_->ItemIndex()));
    };
    fileList_->OnDblClick = [this](TObject*) {
        if (fileList_->ItemIndex() < 0) return;
        nameEdit_->SetText(fileList_->Items()->Strings(fileList_->ItemIndex()));
        Accept();
    };

    int nameTop = kListTop + kListHeight + kMargin;
    nameLabel_ = label("NameLabel", "Datei&name:", kMargin, nameTop + 4);
    nameEdit_ = new TFileNameEdit(this);
    nameEdit_->SetName("FileNameEdit");
    nameEdit_->SetParent(this);
    nameEdit_->SetBounds(fieldLeft, nameTop, fieldWidth, kEditHeight);
    nameLabel_->SetFocusControl(nameEdit_);

    int typeTop = nameTop + kEditHeight + kMargin;
    typeLabel_ = label("TypeLabel", "Datei&typ:", kMargin, typeTop + 4);
    filterCombo_ = new TComboBox(this);
    filterCombo_->SetName("FilterCombo");
    filterCombo_->SetParent(this);
    filterCombo_->SetStyle(csDropDownList);
    filterCombo_->SetBounds(fieldLeft, typeTop, fieldWidth, kEditHeight);
    for (const TFileFilter& f : filters_) filterCombo_->Items()->Add(f.Description);
    filterCombo_->OnChange = [this](TObject*) {
        typedMask_.clear();
        RefreshFiles();
    };
    typeLabel_->SetFocusControl(filterCombo_);

    int buttonTop = typeTop + kEditHeight + kMargin * 2;
    okButton_ = new TButton(this);
    okButton_->SetName("OkButton");
    okButton_->SetParent(this);
    okButton_->SetCaption(save_ ? "&Speichern" : "Ö&ffnen");
    okButton_->SetBounds(kClientWidth - 2 * (kButtonWidth + kMargin), buttonTop, kButtonWidth, kButtonHeight);
    okButton_->SetDefault(true);
    okButton_->OnClick = [this](TObject*) { Accept(); };

    cancelButton_ = new TButton(this);
    cancelButton_->SetName("CancelButton");
    cancelButton_->SetParent(this);
    cancelButton_->SetCaption("Abbrechen");
    cancelButton_->SetBounds(kClientWidth - kButtonWidth - kMargin, buttonTop, kButtonWidth, kButtonHeight);
    cancelButton_->SetCancel(true);
    cancelButton_->SetModalResult(mrCancel);
    SetClientHeight(buttonTop + kButtonHeight + kMargin);

    // The name field comes first for the keyboard; the lists follow the visual order.
    folderList_->SetTabOrder(0);
    fileList_->SetTabOrder(1);
    nameEdit_->SetTabOrder(2);
    filterCombo_->SetTabOrder(3);
    okButton_->SetTabOrder(4);
    cancelButton_->SetTabOrder(5);
    SetActiveControl(nameEdit_);
}

int TFileDialogForm::FilterIndex() const {
    return filterCombo_->ItemIndex() >= 0 ? filterCombo_->ItemIndex() + 1 : dialog_->FilterIndex();
}

std::vector<std::string> TFileDialogForm::CurrentMasks() const {
    if (!typedMask_.empty()) return {typedMask_};
    int i = filterCombo_->ItemIndex();
    if (i >= 0 && i < static_cast<int>(filters_.size())) return filters_[static_cast<size_t>(i)].Masks;
    return {"*"};
}

void TFileDialogForm::SetFolder(const fs::path& Folder) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(Folder, ec), ec);
    if (ec || p.empty()) p = Folder.lexically_normal();
    folder_ = p;
    RefreshFolders();
    RefreshFiles();
    ShowPath();
}

void TFileDialogForm::ShowPath() {
    // A long path keeps its end, which names the folder being shown.
    std::u32string text = ToU32(folder_.string());
    int room = pathLabel_->Width();
    auto width = [&](const std::u32string& s) {
        return MeasureText(pathLabel_->Font(), ToUtf8(s), Rect(0, 0, 0x3FFF, 0), DT_SINGLELINE | DT_NOPREFIX).Width();
    };
    if (width(text) > room) {
        while (text.size() > 1 && width(U"..." + text) > room) text.erase(0, 1);
        text = U"..." + text;
    }
    pathLabel_->SetCaption(ToUtf8(text));
}

void TFileDialogForm::RefreshFolders() {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code statEc;
        if (!Hidden(name) && it->is_directory(statEc)) names.push_back(name);
    }
    SortNames(names);
    TStrings* items = folderList_->Items();
    items->BeginUpdate();
    items->Clear();
    if (folder_.has_parent_path() && folder_.parent_path() != folder_) items->Add("..");
    for (const std::string& n : names) items->Add(n);
    items->EndUpdate();
}

void TFileDialogForm::RefreshFiles() {
    std::vector<std::string> masks = CurrentMasks();
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code statEc;
        if (Hidden(name) || !it->is_regular_file(statEc)) continue;
        if (std::any_of(masks.begin(), masks.end(), [&](const std::string& m) { return MatchesFileMask(name, m); }))
            names.push_back(name);
    }
    SortNames(names);
    TStrings* items = fileList_->Items();
    items->BeginUpdate();
    items->Clear();
    for (const std::string& n : names) items->Add(n);
    items->EndUpdate();
}

void TFileDialogForm::OpenFolderItem(int Index) {
    if (Index < 0 || Index >= folderList_->Items()->Count()) return;
    std::string item = folderList_->Items()->Strings(Index);
    SetFolder(item == ".." ? folder_.parent_path() : folder_ / item);
    if (folderList_->Items()->Count() > 0) folderList_->SetItemIndex(0);
}

bool TFileDialogForm::Confirm(const std::string& Text) { return MessageDlg(Text, mtWarning, mbYesNo, 0) == mrYes; }

void TFileDialogForm::Complain(const std::string& Text) { MessageDlg(Text, mtWarning, {mbOK}, 0); }

void TFileDialogForm::Accept() {
    // Enter in the folder list opens the folder.
    if (ActiveControl() == folderList_ && folderList_->ItemIndex() >= 0) {
        OpenFolderItem(folderList_->ItemIndex());
        return;
    }
    std::string typed = ExpandHomeFolder(Trim(nameEdit_->Text()));
    if (typed.empty()) {
        MessageBeep(0);
        return;
    }
    fs::path p = typed;
    if (p.is_relative()) p = folder_ / p;
    p = p.lexically_normal();
    if (HasWildcard(typed)) {
        // "*.log" lists other files; "sub/*.log" also opens the folder.
        fs::path dir = p.parent_path();
        if (!dir.empty() && !HasWildcard(dir.string()) && IsDir(dir)) {
            typedMask_ = p.filename().string();
            SetFolder(dir);
        } else {
            typedMask_ = fs::path(typed).filename().string();
            RefreshFiles();
        }
        nameEdit_->SetText(typedMask_);
        return;
    }
    if (IsDir(p)) {
        SetFolder(p);
        nameEdit_->SetText("");
        return;
    }
    if (p.filename().empty()) p = p.parent_path();  // "name/" of a folder that does not exist
    if (!p.has_extension() && !defaultExt_.empty()) {
        fs::path withExt = p;
        withExt += "." + defaultExt_;
        // Opening keeps an existing file named exactly as typed.
        if (save_ || !IsFile(FindExisting(p))) p = withExt;
    }
    fs::path dir = p.parent_path();
    if (!IsDir(dir)) {
        if (options_.Contains(ofPathMustExist)) {
            Complain(dir.string() + "\r\nDer Pfad ist nicht vorhanden.\r\nÜberprüfen Sie den Pfad.");
            return;
        }
    }
    // Opening takes a file whose name differs only in case; saving writes the name as typed.
    if (!save_) p = FindExisting(p);
    if (!save_ && options_.Contains(ofFileMustExist) && !IsFile(p)) {
        Complain(p.filename().string() + "\r\nDie Datei wurde nicht gefunden.\r\nÜberprüfen Sie den Dateinamen.");
        return;
    }
    if (save_ && options_.Contains(ofOverwritePrompt) && Exists(p)) {
        if (!Confirm(p.filename().string() + " ist bereits vorhanden.\r\nMöchten Sie die Datei ersetzen?")) return;
    }
    chosen_ = p.string();
    SetModalResult(mrOk);
}
