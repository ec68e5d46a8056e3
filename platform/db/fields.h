#pragma once
// The dataset's list of field objects, in display order. It does not own them: a field
// belongs to its owner component (the form or the dataset).

#include <string>
#include <vector>

class TField;

class TFields {
public:
    int Count() const { return static_cast<int>(list_.size()); }
    TField* operator[](int Index) const { return list_.at(Index); }
    TField* Fields(int Index) const { return list_.at(Index); }
    int IndexOf(const TField* Field) const;
    // Case-insensitive; nullptr when absent.
    TField* FindField(const std::string& FieldName) const;
    const std::vector<TField*>& List() const { return list_; }

private:
    friend class TDataSet;
    std::vector<TField*> list_;
};
