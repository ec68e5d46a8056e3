// Drawing speed on a 1024x768 bitmap: solid fills (aim: 4 Gpixel/s) and text (aim: 5
// million glyphs/s).
#include "platform/gdi/gdi.h"

#include <benchmark/benchmark.h>

namespace {

struct Screen {
    HBITMAP bitmap = CreateBitmap(1024, 768, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ~Screen() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

void BM_FillRectFullScreen(benchmark::State& state) {
    Screen s;
    HBRUSH brush = CreateSolidBrush(RGB(192, 192, 192));
    TRect r{0, 0, 1024, 768};
    for (auto _ : state) {
        FillRect(s.dc, r, brush);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
    DeleteObject(brush);
}
BENCHMARK(BM_FillRectFullScreen);

void BM_FillRectSmallCells(benchmark::State& state) {
    // Cells of a grid: 80x18 rectangles, as a list paints them.
    Screen s;
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    for (auto _ : state) {
        for (int y = 0; y + 18 <= 768; y += 18)
            for (int x = 0; x + 80 <= 1024; x += 80) FillRect(s.dc, TRect{x, y, x + 80, y + 18}, brush);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (768 / 18) * (1024 / 80) * 80 * 18);
    DeleteObject(brush);
}
BENCHMARK(BM_FillRectSmallCells);

void BM_TextOutLines(benchmark::State& state) {
    Screen s;
    SetBkMode(s.dc, TRANSPARENT);
    const std::string line = "Konfiguration auslesen: Eingang 12 verzoegert 30 s, Ausgang 21 Alarm.";
    for (auto _ : state) {
        for (int y = 0; y + 13 <= 768; y += 13) TextOut(s.dc, 2, y, line);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (768 / 13) * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_TextOutLines);

void BM_DrawTextCells(benchmark::State& state) {
    Screen s;
    SetBkMode(s.dc, TRANSPARENT);
    const std::string text = "Gerätetyp";
    for (auto _ : state) {
        for (int y = 0; y + 18 <= 768; y += 18)
            for (int x = 0; x + 80 <= 1024; x += 80) {
                TRect r{x, y, x + 80, y + 18};
                DrawText(s.dc, text, r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (768 / 18) * (1024 / 80) * 9);
}
BENCHMARK(BM_DrawTextCells);

}  // namespace
