#include "grid/filter/vx_criteria.h"

#include <algorithm>
#include <functional>

#include "grid/filter/vx_criteria_operators.h"
#include "platform/rtl/abstract_error.h"

TvxCustomCriteriaItem* TvxCriteriaItemList::Add(std::unique_ptr<TvxCustomCriteriaItem> Item) {
    Item->parent_ = this;
    items_.push_back(std::move(Item));
    return items_.back().get();
}

std::unique_ptr<TvxCustomCriteriaItem> TvxCriteriaItemList::Extract(TvxCustomCriteriaItem* Item) {
    auto it = std::find_if(items_.begin(), items_.end(), [Item](const auto& p) { return p.get() == Item; });
    if (it == items_.end()) return nullptr;
    std::unique_ptr<TvxCustomCriteriaItem> owned = std::move(*it);
    items_.erase(it);
    owned->parent_ = nullptr;
    return owned;
}

void TvxCriteriaItem::GetRecordValue(TObject*, Variant&) { AbstractError(); }

std::string TvxCriteriaItem::GetFilterFieldName() { AbstractError(); }

TvxCriteria::TvxCriteria() : root_(std::make_unique<TvxCriteriaItemList>(nullptr)) { root_->criteria_ = this; }

void TvxCriteria::Clear() {
    root_->Clear();
    root_->SetOr(false);
    root_->SetNot(false);
}

std::unique_ptr<TvxCriteriaItem> TvxCriteria::GetItemClass(TvxCriteriaItemList* Parent) {
    return std::make_unique<TvxCriteriaItem>(Parent);
}

TvxCriteriaItem* TvxCriteria::AddItem(TvxCriteriaItemList* List, const std::string& FieldName, uint8_t Operator,
                                      const std::string& DisplayValue, const Variant& Value) {
    if (!List) List = root_.get();
    std::unique_ptr<TvxCriteriaItem> item = GetItemClass(List);
    item->SetFieldName(FieldName);
    item->SetOperator(Operator);
    item->SetDisplayValue(DisplayValue);
    item->SetValue(Value);
    return static_cast<TvxCriteriaItem*>(List->Add(std::move(item)));
}

TvxCriteriaItemList* TvxCriteria::AddList(TvxCriteriaItemList* List, bool Or) {
    if (!List) List = root_.get();
    auto list = std::make_unique<TvxCriteriaItemList>(List);
    list->SetOr(Or);
    return static_cast<TvxCriteriaItemList*>(List->Add(std::move(list)));
}

namespace {
TvxCriteriaItem* FindIn(const TvxCriteriaItemList* List, const std::string& FieldName) {
    for (int i = 0; i < List->Count(); ++i) {
        TvxCustomCriteriaItem* entry = List->Items(i);
        if (entry->IsList()) {
            if (TvxCriteriaItem* found = FindIn(static_cast<TvxCriteriaItemList*>(entry), FieldName)) return found;
        } else if (auto* item = static_cast<TvxCriteriaItem*>(entry); item->FieldName() == FieldName) {
            return item;
        }
    }
    return nullptr;
}

void RemoveFrom(TvxCriteriaItemList* List, const std::string& FieldName) {
    for (int i = 0; i < List->Count();) {
        TvxCustomCriteriaItem* entry = List->Items(i);
        if (!entry->IsList()) {
            if (static_cast<TvxCriteriaItem*>(entry)->FieldName() == FieldName) {
                List->Delete(entry);
                continue;
            }
            ++i;
            continue;
        }
        auto* sub = static_cast<TvxCriteriaItemList*>(entry);
        int before = sub->Count();
        RemoveFrom(sub, FieldName);
        if (sub->Count() == 0 && before > 0) {
            List->Delete(sub);
            continue;
        }
        if (sub->Count() == 1 && before > 1) {
            // The last entry takes the list's place at the end of the parent. A negated list
            // hands its negation down, so NOT (A AND B) without B reads NOT A, not A.
            std::unique_ptr<TvxCustomCriteriaItem> last = sub->Extract(sub->Items(0));
            if (sub->Not()) last->SetNot(!last->Not());
            List->Delete(sub);
            List->Add(std::move(last));
            continue;
        }
        ++i;
    }
}

// Doubles every single quote, so the value stays one literal of the filter expression.
std::string Quoted(const std::string& Text) {
    std::string out = "'";
    for (char c : Text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

std::string ListText(const TvxCriteriaItemList* List, bool Display) {
    std::string text;
    for (int i = 0; i < List->Count(); ++i) {
        if (i > 0) text += List->Or() ? " OR " : " AND ";
        TvxCustomCriteriaItem* entry = List->Items(i);
        if (entry->IsList()) {
            text += "(" + ListText(static_cast<TvxCriteriaItemList*>(entry), Display) + ")";
            continue;
        }
        auto* item = static_cast<TvxCriteriaItem*>(entry);
        std::string inner = (Display ? item->GetFieldCaption() : item->GetFilterFieldName()) + " ";
        inner += IsValidOperatorKind(item->Operator()) ? vxOperator(item->Operator()).GetText() : std::string("?");
        if (item->Operator() != vxoIsNull) {
            if (Display) {
                inner += " " + item->DisplayValue();
            } else {
                const Variant& v = item->Value();
                bool quote = v.IsString() || v.VarType() == varDate;
                inner += " " + (quote ? Quoted(VarToStr(v)) : VarToStr(v));
            }
        }
        if (item->Not()) inner = "NOT (" + inner + ")";
        text += "(" + inner + ")";
    }
    if (List->Not()) text = "NOT (" + text + ")";
    return text;
}
}  // namespace

TvxCriteriaItem* TvxCriteria::FindItem(const std::string& FieldName) const { return FindIn(root_.get(), FieldName); }

void TvxCriteria::RemoveItems(const std::string& FieldName) { RemoveFrom(root_.get(), FieldName); }

std::string TvxCriteria::GetFilterText(bool Display) const { return ListText(root_.get(), Display); }

bool TvxCriteria::Evaluate(TObject* Context) { return EvaluateList(root_.get(), Context); }

bool TvxCriteria::EvaluateList(TvxCriteriaItemList* List, TObject* Context) {
    bool result = true;
    for (int i = 0; i < List->Count(); ++i) {
        TvxCustomCriteriaItem* entry = List->Items(i);
        bool r;
        if (entry->IsList()) {
            r = EvaluateList(static_cast<TvxCriteriaItemList*>(entry), Context);
        } else {
            auto* item = static_cast<TvxCriteriaItem*>(entry);
            Variant recordValue, conditionValue;
            item->GetRecordValue(Context, recordValue);
            PrepareValue(recordValue, recordValue);
            PrepareValue(item->Value(), conditionValue);
            r = IsValidOperatorKind(item->Operator()) &&
                vxOperator(item->Operator()).Compare(recordValue, conditionValue);
            if (item->Not()) r = !r;
        }
        // Every entry is evaluated: a later one may have side effects in a subclass.
        if (i == 0)
            result = r;
        else
            result = List->Or() ? (result || r) : (result && r);
    }
    return List->Not() ? !result : result;
}
