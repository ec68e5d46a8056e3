#pragma once
// TOpenDialog / TSaveDialog: ask the user for a file in our own small modal window (see
// file_dialog_form.h). Execute shows it and answers true when a file was chosen; FileName
// then holds its full path and FilterIndex the filter that was showing.
//
// Filter: pairs of description and masks, "Text|*.txt|Alle Dateien|*.*" (several masks in
// one pair with ";"); FilterIndex counts from 1. DefaultExt (without the dot) is added to a
// name typed without an extension. The dialog starts in FileName's folder when that
// exists, else in InitialDir, else in the current folder. The process's current folder is
// never changed. A leading "~" in a typed name, FileName or InitialDir is the home folder.
//
// Options that act: ofOverwritePrompt (save: asks before replacing an existing file),
// ofPathMustExist (the folder of the name must exist), ofFileMustExist (open: the file
// must exist; implies ofPathMustExist). The others are accepted for the callers' sake and
// change nothing.

#include <string>

#include "platform/classes/component.h"
#include "platform/forms/control_types.h"

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
using TOpenOptions = TSmallSet<TOpenOption>;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    std::string ClassName() const override { return "TOpenDialog"; }

    // Shows the dialog modally; false when the user cancelled.
    virtual bool Execute();

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& v) { fileName_ = v; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& v) { initialDir_ = v; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& v) { filter_ = v; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int v) { filterIndex_ = v; }
    const std::string& DefaultExt() const { return defaultExt_; }
    // A leading dot is dropped.
    void SetDefaultExt(const std::string& v);
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions v) { options_ = v; }
    // The window's caption; empty: "Öffnen" (or "Speichern unter" for the save dialog).
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }

    // True for TSaveDialog.
    virtual bool IsSaveDialog() const { return false; }

private:
    std::string fileName_;
    std::string initialDir_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string defaultExt_;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
    std::string title_;
};

// The folder of the file last chosen in any file dialog of this run ("" before the first).
const std::string& LastFileDialogFolder();
// A run started afresh (ResetApplication) has chosen no file yet.
void ForgetLastFileDialogFolder();
// "~" and "~/..." with the home folder ($HOME) put in; anything else as it stands.
std::string ExpandHomeFolder(const std::string& path);

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    std::string ClassName() const override { return "TSaveDialog"; }
    bool IsSaveDialog() const override { return true; }
};
