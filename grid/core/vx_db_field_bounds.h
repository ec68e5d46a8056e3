#pragma once
// MinValue and MaxValue of the spin and currency columns: their own values once assigned,
// else the bound field's limits (0 without them). A value is worth storing only when it
// was assigned and differs from the field's.

class TField;

// The field's limit: an integer field's, a float or BCD field's rounded to its precision.
double FieldMinValue(TField* Field);
double FieldMaxValue(TField* Field);

class TvxFieldBounds {
public:
    double Min(TField* Field) const { return minAssigned_ ? min_ : FieldMinValue(Field); }
    double Max(TField* Field) const { return maxAssigned_ ? max_ : FieldMaxValue(Field); }
    // False when nothing changed.
    bool SetMin(double Value);
    bool SetMax(double Value);
    bool IsMinStored(TField* Field) const { return minAssigned_ && min_ != FieldMinValue(Field); }
    bool IsMaxStored(TField* Field) const { return maxAssigned_ && max_ != FieldMaxValue(Field); }

private:
    double min_ = 0;
    double max_ = 0;
    bool minAssigned_ = false;
    bool maxAssigned_ = false;
};
