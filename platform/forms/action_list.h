#pragma once
// TActionList: a list of actions with the image list their clients take images from.
// Actions join and leave it through TCustomAction::SetActionList. Freeing the list frees its
// actions, as the class library does; a freed image list is let go of. A change of Images is
// passed on as a change of every action, so their clients pick the new images up.

#include <vector>

#include "platform/classes/component.h"

class TCustomAction;
class TCustomImageList;

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner);
    ~TActionList() override;
    std::string ClassName() const override { return "TActionList"; }

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    // Raises EListError for an index outside 0..ActionCount()-1.
    TCustomAction* Actions(int Index) const;

    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    void AddAction(TCustomAction* Action);
    void RemoveAction(TCustomAction* Action);
    void ActionsChanged();

    std::vector<TCustomAction*> actions_;
    TCustomImageList* images_ = nullptr;
};
