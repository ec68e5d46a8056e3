#pragma once
// The custom filter dialog: up to two conditions on one column, joined by And or Or.

class TvxDBTreeListColumn;
class TvxDBGridCriteria;

// True when the dialog was confirmed; the column's conditions in Criteria are then replaced.
bool ShowCustomFilterDialog(TvxDBTreeListColumn* Column, TvxDBGridCriteria* Criteria);
