#include "app/common/display_loss.h"

#include "platform/display/presenter.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/win/message_queue.h"

void EndProgramWhenDisplayLost(Presenter& display) {
    display.SetDisplayLostAction([] {
        if (Application)
            if (TCustomForm* main = Application->MainForm()) main->Close();
        // A modal box still open would wait for an answer nobody can give any more: the
        // quit message ends every loop, the program's main loop last.
        PostQuitMessage(0);
    });
}
