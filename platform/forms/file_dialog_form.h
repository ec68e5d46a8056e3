#pragma once
// The window of TOpenDialog / TSaveDialog: the current folder's path on top, its
// sub-folders (".." first) on the left, its files that match the chosen filter on the
// right, and below them the name field, the filter drop-down and the buttons.
//
// A double click (or Enter) on a folder opens it; a click on a file puts its name in the
// name field (file_name_edit.h: its name selected when it takes the focus), a double click
// takes it. OK takes the name field: a folder (relative or absolute) is opened, a name with
// "*" or "?" becomes the file list's mask, anything else is checked against the options (see
// file_dialog.h) and ends the dialog. Folders that cannot be read show empty; hidden entries
// (a leading ".") are not listed.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/forms/file_dialog.h"
#include "platform/forms/form.h"

class TLabel;
class TListBox;
class TEdit;
class TComboBox;
class TButton;

struct TFileFilter {
    std::string Description;
    std::vector<std::string> Masks;  // "*.txt"; never empty
};

// "Text|*.txt;*.log|Alle|*.*" -> two filters. A description without masks gets "*"; an
// empty filter string gives none.
std::vector<TFileFilter> ParseFileFilter(const std::string& Filter);
// Wildcard match of a file name, "*" any run and "?" one character, ignoring case; "*.*"
// matches every name (with or without a dot), as users of the filters expect.
bool MatchesFileMask(const std::string& Name, const std::string& Mask);

class TFileDialogForm : public TForm {
public:
    explicit TFileDialogForm(TOpenDialog* Dialog);
    std::string ClassName() const override { return "TFileDialogForm"; }

    bool IsSave() const { return save_; }
    const std::filesystem::path& Folder() const { return folder_; }
    // Shows a folder (its sub-folders and matching files).
    void SetFolder(const std::filesystem::path& Folder);
    // The chosen file (full path) once the dialog ended with mrOk.
    const std::string& ChosenFile() const { return chosen_; }
    // 1-based, as TOpenDialog::FilterIndex.
    int FilterIndex() const;

    TListBox* FolderList() const { return folderList_; }
    TListBox* FileList() const { return fileList_; }
    TEdit* FileNameEdit() const { return nameEdit_; }
    TComboBox* FilterCombo() const { return filterCombo_; }
    TButton* OkButton() const { return okButton_; }
    TButton* CancelButton() const { return cancelButton_; }
    TLabel* PathLabel() const { return pathLabel_; }

    // What OK does (also for Enter and a double click on a file).
    void Accept();

private:
    void Build();
    void RefreshFolders();
    void RefreshFiles();
    void ShowPath();
    void OpenFolderItem(int Index);
    std::vector<std::string> CurrentMasks() const;
    bool Confirm(const std::string& Text);
    void Complain(const std::string& Text);

    TOpenDialog* dialog_;
    bool save_;
    TOpenOptions options_;
    std::string defaultExt_;
    std::vector<TFileFilter> filters_;
    std::filesystem::path folder_;
    std::string typedMask_;  // a mask typed into the name field replaces the filter's
    std::string chosen_;

    TLabel* folderLabel_ = nullptr;
    TLabel* pathLabel_ = nullptr;
    TListBox* folderList_ = nullptr;
    TListBox* fileList_ = nullptr;
    TLabel* nameLabel_ = nullptr;
    TEdit* nameEdit_ = nullptr;
    TLabel* typeLabel_ = nullptr;
    TComboBox* filterCombo_ = nullptr;
    TButton* okButton_ = nullptr;
    TButton* cancelButton_ = nullptr;
};
