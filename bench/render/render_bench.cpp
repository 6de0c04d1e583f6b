// The render engine on the embedded skin, in one run: opening the skin archive, decoding its
// images, and painting a 600x400 frame (nine-grid background, images, two lines of text) against a
// plain cairo fill of the same surface. Prints times and the frame / fill ratio.
#include <cairo.h>
#include <platform/resources.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "skinui/draw_kit.h"
#include "skinui/process_setup.h"
#include "skinui/render_resources.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best time of one call, in microseconds, over `rounds` rounds of `calls` calls each.
double BestMicroseconds(int rounds, int calls, const std::function<void()>& work) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        auto start = Clock::now();
        for (int i = 0; i < calls; ++i) {
            work();
        }
        double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
        best = std::min(best, us);
    }
    return best;
}

const wchar_t* const kImages[] = {L"res\\mainWnd\\bg.png", L"res\\test\\icon.png", L"res\\test\\frame.png",
                                  L"res\\test\\button.png"};

struct Frame {
    Frame(SkinUI::RenderResources& host) : host(host) {}

    void Paint(cairo_t* dc) {
        using namespace SkinUI;
        Rect all{0, 0, 600, 400};
        DrawKit::DrawImageAttribute(dc, host, all, all, background);
        DrawKit::DrawImageAttribute(dc, host, {40, 40, 56, 56}, all, icon);
        DrawKit::DrawImageAttribute(dc, host, {500, 340, 572, 376}, all, button);
        DrawKit::DrawImageAttribute(dc, host, {95, 300, 505, 308}, all, progress);
        DrawKit::DrawImageAttribute(dc, host, {95, 300, 300, 308}, all, progressFill);
        Rect title{70, 36, 560, 60};
        DrawKit::DrawText(dc, host, title, L"Glintcap 安装程序", 0xFF303F56, 1, DT_SINGLELINE | DT_VCENTER);
        Rect status{95, 270, 505, 292};
        DrawKit::DrawText(dc, host, status, L"正在下载安装包… 42%", 0xFF606060, 0,
                          DT_SINGLELINE | DT_CENTER | DT_END_ELLIPSIS);
    }

    SkinUI::RenderResources& host;
    SkinUI::DrawRecord background{L"file='res\\mainWnd\\bg.png' corner='8,8,8,8'"};
    SkinUI::DrawRecord icon{L"res\\test\\icon.png"};
    SkinUI::DrawRecord button{L"file='res\\test\\button.png' mask='#FFFF00FF' corner='2,2,2,2'"};
    SkinUI::DrawRecord progress{L"file='res\\test\\frame.png' corner='2,2,2,2' hole='true'"};
    SkinUI::DrawRecord progressFill{L"file='res\\test\\frame.png' source='2,2,6,6' fade='200'"};
};

}  // namespace

int main() {
    SkinUI::PrepareProcess();

    std::span<const std::uint8_t> packed =
        platform::FindResource(SkinUI::kSkinResourceType, SkinUI::kSkinResourceId);
    size_t entries = 0;
    size_t unpacked = 0;
    double open = BestMicroseconds(5, 50, [&] {
        auto archive = SkinUI::SkinArchive::OpenMemory(packed, SkinUI::ArchiveFormat::kSevenZip);
        entries = archive ? archive->entries().size() : 0;
        unpacked = 0;
        for (size_t i = 0; i < entries; ++i) {
            unpacked += archive->entries()[i].bytes.size();
        }
    });
    SkinUI::ResourceStore store;
    store.SetSkinArchive7z(true);
    if (!store.LoadSkinResource(SkinUI::kSkinResourceId)) {
        std::fprintf(stderr, "the skin archive is not embedded\n");
        return 1;
    }
    double decode = BestMicroseconds(5, 50, [&] {
        for (const wchar_t* name : kImages) {
            SkinUI::DrawKit::LoadImage(store, name);
        }
    });

    SkinUI::ImageCache shared;
    SkinUI::FontTable fonts;
    SkinUI::RenderResources host(store, shared, fonts, SkinUI::LanguageTexts::Process());
    host.AddFont(1, L"微软雅黑", 18, true, false, false, false);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 600, 400);
    cairo_t* dc = cairo_create(surface);
    Frame frame(host);
    frame.Paint(dc);  // first paint parses the attributes and fills the caches

    double fill = BestMicroseconds(7, 200, [&] {
        cairo_set_source_rgb(dc, 0.95, 0.96, 0.97);
        cairo_paint(dc);
    });
    double paint = BestMicroseconds(7, 200, [&] { frame.Paint(dc); });
    cairo_surface_flush(surface);
    cairo_destroy(dc);
    cairo_surface_destroy(surface);

    std::printf("open embedded skin archive (%zu bytes, %zu items, %zu bytes unpacked): %.1f us\n",
                packed.size(), entries, unpacked, open);
    std::printf("decode %zu skin images: %.1f us\n", std::size(kImages), decode);
    std::printf("plain cairo fill of 600x400: %.1f us\n", fill);
    std::printf("full 600x400 frame (nine-grid background, 4 images, 2 texts): %.1f us (goal < 3000 us)\n",
                paint);
    std::printf("ratio (frame time / plain fill time): %.1f\n", paint / fill);
    return 0;
}
