#include "controls/vx_button_action_link.h"

#include "controls/vx_button.h"

TvxButtonActionLink::~TvxButtonActionLink() {
    // The control frees its link while it is destroyed, when it is no button any more: the
    // repaint goes through the control.
    if (Client()) Client()->Invalidate();
}

void TvxButtonActionLink::AssignClient(TObject* AClient) {
    TControlActionLink::AssignClient(AClient);
    client_ = dynamic_cast<TvxButton*>(AClient);
}

void TvxButtonActionLink::SetImageIndex(int Value) {
    TControlActionLink::SetImageIndex(Value);
    if (!client_ || !IsImageIndexLinked()) return;
    client_->SetImageIndex(Value);
    client_->Invalidate();
}
