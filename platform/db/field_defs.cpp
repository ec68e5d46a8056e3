#include "platform/db/field_defs.h"

#include "platform/db/field.h"
#include "platform/db/fields.h"
#include "platform/rtl/str_utils.h"

void TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
    TFieldDef d;
    d.Name = Name;
    d.DataType = DataType;
    d.Size = Size;
    d.Required = Required;
    d.FieldNo = Count() + 1;
    items_.push_back(d);
}

int TFieldDefs::IndexOf(const std::string& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(items_[i].Name, Name)) return i;
    return -1;
}

int TFields::IndexOf(const TField* Field) const {
    for (int i = 0; i < Count(); ++i)
        if (list_[i] == Field) return i;
    return -1;
}

TField* TFields::FindField(const std::string& FieldName) const {
    // The exact spelling is by far the most common and needs no case folding.
    for (TField* f : list_)
        if (f->FieldName() == FieldName) return f;
    // No other spelling of nothing (a column bound to no field asks at every layout).
    if (FieldName.empty()) return nullptr;
    for (TField* f : list_)
        if (AnsiSameText(f->FieldName(), FieldName)) return f;
    return nullptr;
}
