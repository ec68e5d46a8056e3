#include "platform/display/x11/select_presenter.h"

#include <cstdlib>
#include <cstring>

#include "platform/display/headless_presenter.h"
#if TOVAK_HAVE_X11
#include "platform/display/x11/x11_presenter.h"
#endif

bool BuildHasX11() { return TOVAK_HAVE_X11 != 0; }

PresenterKind ChoosePresenter(const char* display, const char* headless, bool buildHasX11) {
    if (headless && std::strcmp(headless, "1") == 0) return PresenterKind::Headless;
    if (!buildHasX11 || !display || !*display) return PresenterKind::Headless;
    return PresenterKind::X11;
}

Presenter* InstallPresenterForEnvironment(std::string* why) {
    if (why) why->clear();
    const char* display = std::getenv("DISPLAY");
    PresenterKind kind = ChoosePresenter(display, std::getenv("TOVAK_HEADLESS"), BuildHasX11());
    if (kind == PresenterKind::Headless) {
        const char* headless = std::getenv("TOVAK_HEADLESS");
        bool asked = headless && std::strcmp(headless, "1") == 0;
        if (why && !asked)
            *why = (!display || !*display) ? "no display (DISPLAY is not set)"
                                           : "this build cannot show windows (it was built without libX11)";
        return InstallPresenter(nullptr);
    }
#if TOVAK_HAVE_X11
    std::string reason;
    if (auto x11 = X11Presenter::Open({}, &reason)) return InstallPresenter(std::move(x11));
    if (why) *why = reason;
#endif
    return InstallPresenter(nullptr);
}
