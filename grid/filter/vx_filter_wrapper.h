#pragma once
// Carries the grid's filter through a component stream: the grid keeps its filter in its
// stored layout this way. Only this class is ever streamed, so the writer and reader here
// know its one property and the filter's properties below it, and nothing else.

#include <string>

#include "platform/classes/component.h"
#include "platform/classes/stream.h"

class TvxDBGridFilter;

class TFilterWrapper : public TComponent {
public:
    explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TFilterWrapper"; }
    TvxDBGridFilter* Filter() const { return filter_; }
    void SetFilter(TvxDBGridFilter* Value) { filter_ = Value; }

    // The signature, the class and the (empty) name, the filter's properties that differ
    // from their defaults, and its "Criteria".
    void WriteComponent(TStream* Stream);
    // Sets the properties the stream names (the others keep their values) and reads the
    // criteria into the filter. A malformed stream raises EReadError "Stream-Read-Fehler"
    // and leaves the filter as it was: nothing is set before all of it has been read.
    void ReadComponent(TStream* Stream);

private:
    TvxDBGridFilter* filter_ = nullptr;
};
