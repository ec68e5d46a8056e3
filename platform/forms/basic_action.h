#pragma once
// TBasicAction: a command that clients (controls, through their action links) execute and
// follow. Execute runs OnExecute, Update runs OnUpdate; a change of the action is passed to
// every link registered with it. A freed action lets go of its links before its removal is
// announced, so a client that hears of it finds its link already without an action.

#include <functional>
#include <vector>

#include "platform/classes/component.h"

class TBasicActionLink;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;
    std::string ClassName() const override { return "TBasicAction"; }

    // Runs OnExecute; answers whether there was one to run.
    virtual bool Execute();
    // Runs OnUpdate (a handler sets the action's state); answers whether there was one.
    virtual bool Update();

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells every registered link.
    virtual void Change();
    // Calls f for every link registered now, skipping any that a handler before dropped.
    void ForEachClient(const std::function<void(TBasicActionLink*)>& f);

private:
    std::vector<TBasicActionLink*> clients_;
};

// The client's end of the binding: executes and updates through its action and passes the
// action's changes on through OnChange (Sender: the action).
class TBasicActionLink : public TObject {
public:
    TBasicActionLink() = default;
    ~TBasicActionLink() override;
    std::string ClassName() const override { return "TBasicActionLink"; }

    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* Value);
    virtual bool Execute();
    virtual bool Update();
    // The client the link works for; descendants keep it typed.
    virtual void AssignClient(TObject* AClient) { (void)AClient; }

    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    virtual void Change();

private:
    TBasicAction* action_ = nullptr;
};
