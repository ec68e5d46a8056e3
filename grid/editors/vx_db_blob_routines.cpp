#include "grid/editors/vx_db_blob_routines.h"

#include "controls/picture_blob.h"
#include "platform/db/blob_field.h"
#include "platform/db/dataset.h"

uint8_t GetBlobEditKind(TvxBlobKind BlobKind, TField* Field) {
    switch (BlobKind) {
        case bkBlob: return 3;
        case bkMemo: return 0;
        case bkPict: return 1;
        case bkOle: return 2;
        case bkAuto: break;
    }
    if (!Field) return 3;
    switch (Field->DataType()) {
        case ftMemo:
        case ftFmtMemo: return 0;
        case ftGraphic: return 1;
        case ftParadoxOle:
        case ftDBaseOle: return 2;
        default: return 3;
    }
}

void AssignPictureValue(const Variant& Value, TPicture* Picture) {
    if (Value.IsString())
        LoadPictureFromBlob(Picture, nullptr, Value);
    else
        Picture->SetGraphic(nullptr);
}

void AssignPictureValue(TObject* Value, TPicture* Picture) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Value)) {
        Picture->SetGraphic(bitmap);
        return;
    }
    auto* field = dynamic_cast<TBlobField*>(Value);
    if (!field || !field->DataSet()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TStream> stream = field->DataSet()->CreateBlobStream(field, bmRead);
    std::string bytes;
    if (stream) {
        // The stream knows its own size; nothing is read beyond it.
        bytes.resize(static_cast<size_t>(std::max<int64_t>(stream->Size() - stream->Position(), 0)));
        bytes.resize(static_cast<size_t>(stream->Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
    }
    LoadPictureFromBlob(Picture, nullptr, Variant(bytes));
}
