// Timings of the program's heavy drawing on the headless backend: one card-turn frame at
// each width against a plain copy of the same area, a whole turn, one sparkle step, the
// window shape from its mask, and the wallpaper at three screen sizes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "app/MainUnit.h"
#include "platform/headless/HeadlessPlatform.h"

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
        p.Form->BlitToBuffer(p.Form->Nami, 0, 0, 348, 508, 32, 44, true);
        benchmark::DoNotOptimize(p.Os->Surface.Pixels.data());
    }
}
BENCHMARK(BM_PlainAreaCopy);

void BM_ComposeCardArea(benchmark::State& state) {
    TRunningProgram p;
    const int percent = static_cast<int>(state.range(0));
    for (auto _ : state) {
        p.Form->ComposeCardArea(1, percent, true);
        benchmark::DoNotOptimize(p.Os->Surface.Pixels.data());
    }
}
BENCHMARK(BM_ComposeCardArea)->Arg(0)->Arg(35)->Arg(60)->Arg(78)->Arg(90)->Arg(100);

// A whole card turn, 21 steps, including the new face's JPEG decode at its midpoint.
void BM_WholeReveal(benchmark::State& state) {
    TRunningProgram p;
    int steps = 0;
    for (auto _ : state) {
        p.Form->AnimStep = 1000;
        while (p.Form->AnimStep != 0) {
            p.Form->AdvanceAnimation();
            ++steps;
        }
    }
    state.counters["steps"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeReveal)->Unit(benchmark::kMicrosecond);

void BM_StepLightEffect(benchmark::State& state) {
    TRunningProgram p;
    for (auto _ : state) {
        p.Form->StepLightEffect();
        benchmark::DoNotOptimize(p.Os->Surface.Pixels.data());
    }
}
BENCHMARK(BM_StepLightEffect);

void BM_BuildWindowShape(benchmark::State& state) {
    TRunningProgram p;
    TPicture mask;
    p.Form->LoadBitmapCopy("BaseMsk", mask);
    for (auto _ : state) {
        p.Form->BuildWindowShape(mask, 0);
        benchmark::DoNotOptimize(p.Form->WindowShape->Handle());
    }
}
BENCHMARK(BM_BuildWindowShape)->Unit(benchmark::kMicrosecond);

// Stars, the framed block, the 24-bit file written and synced, the card back reloaded.
void BM_MakeWallpaper(benchmark::State& state) {
    TRunningProgram p;
    p.Os->ScreenWidth = static_cast<int>(state.range(0));
    p.Os->ScreenHeight = static_cast<int>(state.range(1));
    for (auto _ : state) p.Form->MakeWallpaper();
    state.counters["stars"] = static_cast<double>(p.Form->StarsStamped);
}
BENCHMARK(BM_MakeWallpaper)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
