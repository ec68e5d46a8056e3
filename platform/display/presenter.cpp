#include "platform/display/presenter.h"

#include <fstream>

#include "platform/display/headless_presenter.h"
#include "platform/gdi/image_codec.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

namespace {
std::unique_ptr<Presenter>& Installed() {
    static auto* p = new std::unique_ptr<Presenter>;
    return *p;
}

PixelImage ImageOf(HBITMAP buffer) {
    PixelImage image;
    image.width = buffer->width;
    image.height = buffer->height;
    image.pixels = buffer->pixels;
    return image;
}

bool WriteFile(const std::string& fileName, const std::string& bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

HBITMAP PaintedBuffer(HWND topLevel) {
    if (!IsWindow(topLevel) || GetAncestor(topLevel, GA_PARENT) != nullptr || !IsWindowVisible(topLevel))
        return nullptr;
    UpdateAllWindows();
    return GetWindowBackBuffer(topLevel);
}
}  // namespace

void Presenter::DeliverMouseMove(TPoint screen) { InjectMouseMove(screen); }
void Presenter::DeliverMouseButton(TPoint screen, MouseButton button, bool down) {
    InjectMouseButton(screen, button, down);
}
void Presenter::DeliverWheel(TPoint screen, int notches) { InjectMouseWheel(screen, notches); }
void Presenter::DeliverKey(uint16_t vk, bool down) { InjectKey(vk, down); }
void Presenter::DeliverKey(uint16_t vk, bool down, char32_t layoutChar) { InjectLayoutKey(vk, down, layoutChar); }
void Presenter::DeliverChar(char32_t codePoint) { InjectChar(codePoint); }
void Presenter::DeliverClose(HWND topLevel) { PostMessage(topLevel, WM_CLOSE, 0, 0); }

void Presenter::DisplayLost() {
    if (displayLost_)
        displayLost_();
    else
        PostQuitMessage(0);
}

Presenter* InstallPresenter(std::unique_ptr<Presenter> presenter) {
    if (!presenter) presenter = std::make_unique<HeadlessPresenter>();
    Installed() = std::move(presenter);
    SetTopLevelSink(Installed().get());
    return Installed().get();
}

Presenter* CurrentPresenter() {
    if (!Installed()) InstallPresenter(nullptr);
    return Installed().get();
}

bool CaptureWindow(HWND topLevel, TBitmap& out) {
    HBITMAP buffer = PaintedBuffer(topLevel);
    if (!buffer) return false;
    out.LoadFromImage(ImageOf(buffer));
    return true;
}

bool SaveWindowToPng(HWND topLevel, const std::string& fileName) {
    HBITMAP buffer = PaintedBuffer(topLevel);
    return buffer && WriteFile(fileName, EncodePng(ImageOf(buffer)));
}

bool SaveWindowToBmp(HWND topLevel, const std::string& fileName) {
    HBITMAP buffer = PaintedBuffer(topLevel);
    return buffer && WriteFile(fileName, EncodeBmp(ImageOf(buffer)));
}
