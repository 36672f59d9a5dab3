// Timings of the program's heavy drawing on the headless backend: one card-turn frame at
// each width against a plain copy of the same area, a whole turn, one sparkle step, the
// window shape from its mask, and the wallpaper at three screen sizes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/MainUnit.h"
#include "platform/WindowScale.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/support/FormAccess.h"

namespace {

// The real program, started on the pretend desktop in a directory of its own.
struct TRunningProgram {
    std::string Dir;
    std::unique_ptr<THeadlessPlatform> Os;
    std::unique_ptr<TOrvaneFM> Form;

    TRunningProgram() {
        char pattern[] = "/tmp/sablewick-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        Dir = std::string(made ? made : "/tmp") + "/";
        Os = std::make_unique<THeadlessPlatform>(Dir);
        Os->Seed = 7;
        Form = std::make_unique<TOrvaneFM>(*Os);
        if (!Form->FormCreate()) std::abort();
        Os->ShowMainWindow();
    }
    ~TRunningProgram() {
        Form.reset();
        Os.reset();
        const std::string cmd = "rm -rf '" + Dir + "'";
        if (std::system(cmd.c_str()) != 0) std::abort();
    }
};

// The floor of any frame: the 348 x 508 picture area copied into the back buffer and
// shown, unscaled.
void BM_PlainAreaCopy(benchmark::State& state) {
    TRunningProgram p;
    for (auto _ : state) {
        TFormAccess::BlitToBuffer(*p.Form, TFormAccess::Pictures(*p.Form).Nami, 0, 0, 348, 508, 32,
                                  44, true);
        benchmark::DoNotOptimize(p.Os->Surface.Pixels.data());
    }
}
BENCHMARK(BM_PlainAreaCopy);

void BM_ComposeCardArea(benchmark::State& state) {
    TRunningProgram p;
    const int percent = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TFormAccess::ComposeCardArea(*p.Form, 1, percent, true);
        benchmark::DoNotOptimize(p.Os->Surface.Pixels.data());
    }
}
BENCHMARK(BM_ComposeCardArea)->Arg(0)->Arg(35)->Arg(60)->Arg(78)->Arg(90)->Arg(100);

// A whole card turn, 21 steps, including the new face's JPEG decode at its midpoint.
void BM_WholeReveal(benchmark::State& state) {
    TRunningProgram p;
    int steps = 0;
    for (auto _ : state) {
        TFormAccess::AnimStep(*p.Form) = 1000;
        while (TFormAccess::AnimStep(*p.Form) != 0) {
            TFormAccess::AdvanceAnimation(*p.Form);
            ++steps;
        }
    }
    state.counters["steps"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeReveal)->Unit(benchmark::kMicrosecond);

void BM_StepLightEffect(benchmark::State& state) {
    TRunningProgram p;
    for (auto _ : state) {
        TFormAccess::StepLightEffect(*p.Form);
        benchmark::DoNotOptimize(p.Os->Surface.Pixels.data());
    }
}
BENCHMARK(BM_StepLightEffect);

void BM_BuildWindowShape(benchmark::State& state) {
    TRunningProgram p;
    TPicture mask;
    TFormAccess::LoadBitmapCopy(*p.Form, "BaseMsk", mask);
    for (auto _ : state) {
        TFormAccess::BuildWindowShape(*p.Form, mask, 0);
        benchmark::DoNotOptimize(TFormAccess::WindowShape(*p.Form)->Handle());
    }
}
BENCHMARK(BM_BuildWindowShape)->Unit(benchmark::kMicrosecond);

// Stars, the framed block, the 24-bit file written and synced, the card back reloaded.
void BM_MakeWallpaper(benchmark::State& state) {
    TRunningProgram p;
    p.Os->ScreenWidth = static_cast<int>(state.range(0));
    p.Os->ScreenHeight = static_cast<int>(state.range(1));
    for (auto _ : state) TFormAccess::MakeWallpaper(*p.Form);
    state.counters["stars"] = static_cast<double>(p.Form->State().StarsStamped);
}
BENCHMARK(BM_MakeWallpaper)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// Showing the window on a monitor at 150 % or 200 %: the whole window, and one
// card-turn frame's 348 x 508 area, drawn into a window-sized physical buffer, each beside
// a plain copy of as many physical pixels.
struct TScaledWindow {
    TWindowScale Scale;
    TPicture Logical;
    std::vector<uint32_t> Physical;
    explicit TScaledWindow(int percent) : Scale(percent / 100.0, 737, 584) {
        Logical.SetSize(737, 584);
        for (size_t i = 0; i < Logical.Pixels.size(); ++i)
            Logical.Pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        Physical.assign(static_cast<size_t>(Scale.PhysicalWidth()) * Scale.PhysicalHeight(), 0);
    }
};

void BM_PresentScaled(benchmark::State& state) {
    TScaledWindow w(static_cast<int>(state.range(0)));
    const bool whole = state.range(1) != 0;
    for (auto _ : state) {
        if (whole)
            PresentScaled(w.Logical, w.Scale, 0, 0, 737, 584, w.Physical.data(),
                          w.Scale.PhysicalWidth());
        else
            PresentScaled(w.Logical, w.Scale, 32, 44, 348, 508, w.Physical.data(),
                          w.Scale.PhysicalWidth());
        benchmark::DoNotOptimize(w.Physical.data());
    }
}
BENCHMARK(BM_PresentScaled)->Args({150, 1})->Args({200, 1})->Args({150, 0})->Args({200, 0});

// The same physical pixels copied row by row from a picture of their size.
void BM_PlainPhysicalCopy(benchmark::State& state) {
    TScaledWindow w(static_cast<int>(state.range(0)));
    const bool whole = state.range(1) != 0;
    const int pw = w.Scale.PhysicalWidth();
    const int cw = whole ? pw : w.Scale.Edge(380) - w.Scale.Edge(32);
    const int ch = whole ? w.Scale.PhysicalHeight() : w.Scale.Edge(552) - w.Scale.Edge(44);
    std::vector<uint32_t> from(w.Physical.size(), 0x123456);
    for (auto _ : state) {
        for (int y = 0; y < ch; ++y)
            std::memcpy(w.Physical.data() + static_cast<size_t>(y) * pw,
                        from.data() + static_cast<size_t>(y) * pw, static_cast<size_t>(cw) * 4);
        benchmark::DoNotOptimize(w.Physical.data());
    }
}
BENCHMARK(BM_PlainPhysicalCopy)->Args({150, 1})->Args({200, 1})->Args({150, 0})->Args({200, 0});

}  // namespace

BENCHMARK_MAIN();
