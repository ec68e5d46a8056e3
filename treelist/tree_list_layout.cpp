// Layout storage of the tree list with columns: the view values, one section per band and
// one per column under a base path, in an INI file or the registry.

#include <algorithm>
#include <exception>

#include "controls/reg_ini_wrapper.h"
#include "controls/registry.h"
#include "platform/classes/custom_ini_file.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/classes/string_list.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/scope_exit.h"
#include "treelist/custom_tree_list_control.h"

namespace {

std::string BandSection(const std::string& Path, int Index) { return Path + "\\Band\\Band" + std::to_string(Index); }

// Items in the order of their stored "Index" values; equal values keep the current order.
template <class T>
std::vector<T*> OrderByIndex(std::vector<std::pair<int, T*>> Entries) {
    std::stable_sort(Entries.begin(), Entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<T*> ordered;
    for (const auto& entry : Entries) ordered.push_back(entry.second);
    return ordered;
}

}  // namespace

std::string TCustomvxTreeListControl::NormalizeLayoutPath(std::string Path) {
    if (!Path.empty() && Path.front() != '\\') Path.insert(Path.begin(), '\\');
    while (!Path.empty() && Path.back() == '\\') Path.pop_back();
    return Path;
}

std::string TCustomvxTreeListControl::ColumnLayoutSection(const std::string& Path, const TvxTreeListColumn* Column) {
    return Path + "\\Columns\\" + Column->Name();
}

std::string TCustomvxTreeListControl::LayoutSectionName() const {
    if (!iniSectionName_.empty()) return iniSectionName_;
    const auto* form = dynamic_cast<const TCustomForm*>(Owner());
    return (form ? form->Name() : std::string()) + "_" + Name();
}

// ---- Saving ----

void TCustomvxTreeListControl::SaveLayout(TObject* Storage, std::string Path) {
    Path = NormalizeLayoutPath(std::move(Path));
    TvxRegIniWrapper wrapper(Storage);
    if (auto* ini = dynamic_cast<TCustomIniFile*>(Storage)) {
        // Sections of bands and columns that no longer exist go; a neighbour whose name
        // merely starts with the same characters ("\Grid10" beside "\Grid1") stays.
        TStringList sections;
        ini->ReadSections(&sections);
        const std::string below = Path + "\\";
        for (int i = 0; i < sections.Count(); ++i) {
            const std::string& name = sections[i];
            if (name == Path || name.compare(0, below.size(), below) == 0) ini->EraseSection(name);
        }
    }
    SaveViewLayout(&wrapper, Path);
    for (TvxTreeListColumn* column : columns_) SaveColumnLayout(&wrapper, ColumnLayoutSection(Path, column), column);
}

void TCustomvxTreeListControl::SaveViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    Wrapper->WriteBool(Section, "ShowGrid", ShowGrid());
    Wrapper->WriteBool(Section, "ShowPreviewGrid", ShowPreviewGrid());
    Wrapper->WriteInteger(Section, "BandRowCount", bandRowCount_);
    Wrapper->WriteInteger(Section, "DefaultRowHeight", DefaultRowHeight());
    Wrapper->WriteInteger(Section, "HeaderPanelRowCount", IsAutoHeaderPanelHeight() ? -1 : headerPanelRowCount_);
    for (int i = 0; i < bands_->Count(); ++i) {
        TvxTreeListBand* band = bands_->Items(i);
        const std::string section = BandSection(Section, i);
        Wrapper->WriteInteger(section, "ID", band->ID());
        Wrapper->WriteBool(section, "Visible", band->Visible());
        Wrapper->WriteInteger(section, "Index", i);
        Wrapper->WriteInteger(section, "Width", band->Width());
    }
}

void TCustomvxTreeListControl::SaveColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section,
                                                TvxTreeListColumn* Column) {
    Wrapper->WriteInteger(Section, "BandIndex", Column->BandIndex());
    Wrapper->WriteInteger(Section, "RowIndex", Column->RowIndex());
    Wrapper->WriteInteger(Section, "ColIndex", Column->ColIndex());
    Wrapper->WriteBool(Section, "Visible", Column->Visible());
    Wrapper->WriteInteger(Section, "Index", Column->Index());
    Wrapper->WriteInteger(Section, "Width", Column->Width());
    Wrapper->WriteInteger(Section, "Sorted", Column->Sorted());
    Wrapper->WriteInteger(Section, "SortedOrder", Column->GetSortedOrder());
    Wrapper->WriteInteger(Section, "StoredRowIndex", Column->StoredRowIndex());
}

// ---- Loading ----

void TCustomvxTreeListControl::LoadLayout(TObject* Storage, std::string Path) {
    Path = NormalizeLayoutPath(std::move(Path));
    TvxRegIniWrapper wrapper(Storage);
    BeginColumnsUpdate();
    TScopeExit end([this] { EndColumnsUpdate(); });
    // A stored value that cannot be read (the grid's binary filter) is raised once the rest
    // of the layout is in.
    std::exception_ptr fault;
    try {
        LoadViewLayout(&wrapper, Path);
    } catch (const EReadError&) {
        fault = std::current_exception();
    }

    std::vector<std::pair<int, TvxTreeListBand*>> bands;
    for (int i = 0; i < bands_->Count(); ++i) {
        const std::string section = BandSection(Path, i);
        const int id = wrapper.ReadInteger(section, "ID", -1);
        if (id == -1) continue;
        auto* band = dynamic_cast<TvxTreeListBand*>(bands_->FindItemID(id));
        // An ID no band has, or one a section before already named, is not this layout's.
        if (!band || std::any_of(bands.begin(), bands.end(), [band](const auto& e) { return e.second == band; }))
            continue;
        band->SetVisible(wrapper.ReadBool(section, "Visible", band->Visible()));
        band->SetWidth(wrapper.ReadInteger(section, "Width", band->Width()));
        bands.emplace_back(wrapper.ReadInteger(section, "Index", band->Index()), band);
    }
    std::vector<TvxTreeListBand*> bandOrder = OrderByIndex(std::move(bands));
    for (size_t k = 0; k < bandOrder.size(); ++k) bandOrder[k]->SetIndex(static_cast<int>(k));

    std::vector<std::pair<int, TvxTreeListColumn*>> columns;
    for (TvxTreeListColumn* column : std::vector<TvxTreeListColumn*>(columns_)) {
        const std::string section = ColumnLayoutSection(Path, column);
        LoadColumnLayout(&wrapper, section, column);
        columns.emplace_back(wrapper.ReadInteger(section, "Index", column->Index()), column);
    }
    std::vector<TvxTreeListColumn*> columnOrder = OrderByIndex(std::move(columns));
    for (size_t k = 0; k < columnOrder.size(); ++k) columnOrder[k]->SetIndex(static_cast<int>(k));

    ++layoutLoading_;
    for (TvxTreeListColumn* column : columns_) {
        const std::string section = ColumnLayoutSection(Path, column);
        column->SetBandIndex(wrapper.ReadInteger(section, "BandIndex", column->BandIndex()));
        column->SetRowIndex(wrapper.ReadInteger(section, "RowIndex", column->RowIndex()));
        const int stored = wrapper.ReadInteger(section, "StoredRowIndex", column->StoredRowIndex());
        column->SetStoredRowIndex(std::clamp(stored, 0, headerPanelMaxRowCount_ - 1));
    }
    --layoutLoading_;
    ColumnChanged(nullptr);
    if (RestoresSortedOrder()) RestoreSortedColumns();
    if (fault) std::rethrow_exception(fault);
}

void TCustomvxTreeListControl::LoadViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    SetShowGrid(Wrapper->ReadBool(Section, "ShowGrid", ShowGrid()));
    SetShowPreviewGrid(Wrapper->ReadBool(Section, "ShowPreviewGrid", ShowPreviewGrid()));
    SetBandRowCount(Wrapper->ReadInteger(Section, "BandRowCount", bandRowCount_));
    const int rowHeight = Wrapper->ReadInteger(Section, "DefaultRowHeight", DefaultRowHeight());
    if (rowHeight != DefaultRowHeight()) SetDefaultRowHeight(rowHeight);
    // A file without the key leaves the automatic header height alone.
    const int rows = Wrapper->ReadInteger(Section, "HeaderPanelRowCount",
                                          IsAutoHeaderPanelHeight() ? -1 : headerPanelRowCount_);
    if (rows != -1) {
        ClearAutoHeaderPanelHeight();
        SetHeaderPanelRowCount(rows);
    }
}

void TCustomvxTreeListControl::LoadColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section,
                                                TvxTreeListColumn* Column) {
    Column->SetVisible(Wrapper->ReadBool(Section, "Visible", Column->Visible()));
    Column->SetWidth(Wrapper->ReadInteger(Section, "Width", Column->Width()));
    const int sorted = Wrapper->ReadInteger(Section, "Sorted", Column->Sorted());
    // A value outside the three sort states is not a sort state; the column keeps its own.
    if (sorted >= csNone && sorted <= csUp) Column->SetSorted(static_cast<TvxTreeListColumnSort>(sorted));
    Column->SetLoadedSortedOrder(Wrapper->ReadInteger(Section, "SortedOrder", -1));
}

// ---- Entry points ----

void TCustomvxTreeListControl::SaveToIniFile(const std::string& FileName) {
    TMemIniFile ini(FileName);
    SaveLayout(&ini, LayoutSectionName());
    ini.UpdateFile();
}

void TCustomvxTreeListControl::LoadFromIniFile(const std::string& FileName) {
    TMemIniFile ini(FileName);
    LoadLayout(&ini, LayoutSectionName());
}

void TCustomvxTreeListControl::SaveToRegistry(const std::string& Path) {
    TRegIniFile reg("");
    SaveLayout(&reg, Path);
}

void TCustomvxTreeListControl::LoadFromRegistry(const std::string& Path) {
    TRegistry probe;
    if (!probe.KeyExists(NormalizeLayoutPath(Path))) return;
    TRegIniFile reg("");
    LoadLayout(&reg, Path);
}

// ---- Automatic storage ----

void TCustomvxTreeListControl::LoadStoredLayout() {
    if (layoutRestored_) return;
    layoutRestored_ = true;
    if (HasState(csDesigning)) return;
    // Runs while the form is being built: a stored value that cannot be read is reported and
    // the form comes up with the rest of the layout.
    auto load = [this](auto&& from) {
        try {
            from();
        } catch (const EReadError& e) {
            EnsureApplication()->HandleException(this, e);
        }
    };
    if (Options().Contains(TvxTLOption::StoreToRegistry) && !registryPath_.empty())
        load([this] { LoadFromRegistry(registryPath_); });
    if (Options().Contains(TvxTLOption::StoreToIniFile) && !iniFileName_.empty())
        load([this] { LoadFromIniFile(iniFileName_); });
}

void TCustomvxTreeListControl::SaveStoredLayout() {
    if (layoutSaved_) return;
    layoutSaved_ = true;
    if (HasState(csDesigning)) return;
    // Runs while the control is being destroyed: a store that cannot be written loses the
    // layout, not the program, and is reported.
    RunOrReport([this] {
        if (Options().Contains(TvxTLOption::StoreToRegistry) && !registryPath_.empty()) SaveToRegistry(registryPath_);
        if (Options().Contains(TvxTLOption::StoreToIniFile) && !iniFileName_.empty()) SaveToIniFile(iniFileName_);
    });
}
