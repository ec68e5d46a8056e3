#pragma once
// Carries the grid's filter through a form's stream.

#include <string>

#include "platform/classes/component.h"

class TvxDBGridFilter;

class TFilterWrapper : public TComponent {
  public:
    explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TFilterWrapper"; }
    TvxDBGridFilter* Filter() const { return filter_; }
    void SetFilter(TvxDBGridFilter* Value) { filter_ = Value; }

  private:
    TvxDBGridFilter* filter_ = nullptr;
};
