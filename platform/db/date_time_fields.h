#pragma once
// Date, time and date-time fields: the framework's time stamp in the record (date as the
// day number, time as milliseconds since midnight, date-time as milliseconds since year 1);
// the API speaks TDateTime.

#include "platform/db/field.h"

class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* AOwner);
    std::string ClassName() const override { return "TDateTimeField"; }
    int DataSize() const override;

protected:
    int DefaultDisplayWidth() const override { return 18; }
    Variant GetAsVariant() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    double GetAsDateTime() const override;
    void SetAsDateTimeValue(double v) override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    void SetAsFloatValue(double v) override { SetAsDateTimeValue(v); }
};

class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* AOwner);
    std::string ClassName() const override { return "TDateField"; }

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* AOwner);
    std::string ClassName() const override { return "TTimeField"; }

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

// Byte forms of the three types (DataType ftDate, ftTime, ftDateTime).
void DateTimeToNative(TFieldType type, double dateTime, void* dest);
double NativeToDateTime(TFieldType type, const void* src);
