#pragma once
// TCustomAction: an action with the state its clients show: caption, enabled, visible, hint
// and an image index into its action list's Images. A setter hands a changed value to every
// link (each applies it to its client when that property is linked), stores it, then tells
// the links the action changed. Execute first lets OnUpdate set the state, then runs
// OnExecute only while the action is enabled.
//
// TActionLink is the link that hears each property; it applies none of them itself.

#include <string>

#include "platform/forms/basic_action.h"

class TActionList;

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* AOwner);
    ~TCustomAction() override;
    std::string ClassName() const override { return "TCustomAction"; }

    bool Execute() override;

    // The list the action belongs to (not its owner: the list frees its actions when freed).
    TActionList* ActionList() const { return actionList_; }
    void SetActionList(TActionList* Value);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value);
    // -1: no image.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);

private:
    friend class TActionList;
    // Hands the value to every TActionLink through `apply`, stores it and tells the links.
    template <class T, class Apply>
    void SetProperty(T& field, const T& Value, Apply apply);

    TActionList* actionList_ = nullptr;
    std::string caption_;
    bool enabled_ = true;
    std::string hint_;
    int imageIndex_ = -1;
    bool visible_ = true;
};

class TActionLink : public TBasicActionLink {
public:
    std::string ClassName() const override { return "TActionLink"; }

    // A property is linked while the action is a TCustomAction; clients narrow it.
    virtual bool IsCaptionLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsVisibleLinked();

    // The action's new value, before the action stores it.
    virtual void SetCaption(const std::string& Value) { (void)Value; }
    virtual void SetEnabled(bool Value) { (void)Value; }
    virtual void SetHint(const std::string& Value) { (void)Value; }
    virtual void SetImageIndex(int Value) { (void)Value; }
    virtual void SetVisible(bool Value) { (void)Value; }

protected:
    // The action as a TCustomAction (null for any other action).
    TCustomAction* CustomAction() const;
};
