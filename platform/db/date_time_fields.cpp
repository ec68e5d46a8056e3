#include "platform/db/date_time_fields.h"

#include <cstring>

#include "platform/db/time_stamp.h"
#include "platform/rtl/date_time.h"

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }
TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }
TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTime); }

int TDateTimeField::DataSize() const { return DataType() == ftDateTime ? 8 : 4; }

void DateTimeToNative(TFieldType type, double dateTime, void* dest) {
    TTimeStamp ts = DateTimeToTimeStamp(dateTime);
    switch (type) {
        case ftDate: std::memcpy(dest, &ts.Date, 4); break;
        case ftTime: std::memcpy(dest, &ts.Time, 4); break;
        default: {
            double ms = TimeStampToMSecs(ts);
            std::memcpy(dest, &ms, 8);
        }
    }
}

double NativeToDateTime(TFieldType type, const void* src) {
    TTimeStamp ts;
    switch (type) {
        case ftDate:
            std::memcpy(&ts.Date, src, 4);
            CheckTimeStamp(ts);
            break;
        case ftTime:
            std::memcpy(&ts.Time, src, 4);
            ts.Date = DateDelta;
            CheckTimeStamp(ts);
            break;
        default: {
            double ms;
            std::memcpy(&ms, src, 8);
            ts = MSecsToTimeStamp(ms);
        }
    }
    return TimeStampToDateTime(ts);
}

double TDateTimeField::GetAsDateTime() const {
    uint8_t buf[8] = {};
    if (!GetData(buf)) return 0;
    return NativeToDateTime(DataType(), buf);
}

void TDateTimeField::SetAsDateTimeValue(double v) {
    uint8_t buf[8] = {};
    DateTimeToNative(DataType(), v, buf);
    SetData(buf);
}

Variant TDateTimeField::GetAsVariant() const {
    if (IsNull()) return Variant::Null();
    return Variant::FromDate(GetAsDateTime());
}

std::string TDateTimeField::GetAsString() const {
    if (IsNull()) return {};
    double v = GetAsDateTime();
    switch (DataType()) {
        case ftDate: return DateToStr(v);
        case ftTime: return TimeToStr(v);
        default: return DateTimeToStr(v);
    }
}

void TDateTimeField::SetAsStringValue(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    switch (DataType()) {
        case ftDate: SetAsDateTimeValue(StrToDate(v)); break;
        case ftTime: SetAsDateTimeValue(StrToTime(v)); break;
        default: SetAsDateTimeValue(StrToDateTime(v)); break;
    }
}
