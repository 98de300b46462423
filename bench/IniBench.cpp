// Load, lookup and removal costs of the project document at the size of a large board: 20,000 pads of five
// entries each, a component table and a trace list, about 110,000 lines.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"

namespace korvane {
namespace {

constexpr int kPads = 20000;

const std::string& projectText() {
    static const std::string text = [] {
        std::string out = "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\nX=1.002\r\nY=0.998\r\n";
        out += "\r\n[ComponentsSection]\r\n";
        for (int c = 1; c <= 2000; ++c) {
            out += "U" + std::to_string(c) + "=3{label}LM358{footprint}DIP8\r\n";
        }
        for (int n = 1; n <= kPads; ++n) {
            out += "\r\n[Pad" + std::to_string(n) + "]\r\nPadName=" + std::to_string(n % 8 + 1) +
                   "\r\nNetName=N" + std::to_string(n / 3) + "\r\nCompName=U" + std::to_string(n / 8 + 1) +
                   "\r\n1Pad=" + std::to_string(n % 4000) + "," + std::to_string(n / 4) +
                   "\r\n2Pad=" + std::to_string(n % 4000 + 3) + "," + std::to_string(n / 4 + 2) + "\r\n";
        }
        out += "\r\n[TraceSection]\r\n";
        for (int t = 0; t < 5000; ++t) {
            out += std::to_string(t % 2 + 1) + "-" + std::to_string(t) + "-" + std::to_string(t * 7 % 3000) +
                   "-0=255-0.1-0.1\r\n";
        }
        return out;
    }();
    return text;
}

std::vector<std::string> padNames() {
    std::vector<std::string> names;
    for (int n = 1; n <= kPads; ++n) {
        names.push_back("pad" + std::to_string(n));
    }
    return names;
}

void BM_LoadProject(benchmark::State& state) {
    const std::string& text = projectText();
    for (auto _ : state) {
        IniDocument ini;
        ini.LoadFromText(text);
        benchmark::DoNotOptimize(ini.SectionsCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);

void BM_LookupEveryPad(benchmark::State& state) {
    IniDocument ini;
    ini.LoadFromText(projectText());
    const std::vector<std::string> names = padNames();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& name : names) {
            total += ini.Value(name, "NETNAME").size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kPads);
}
BENCHMARK(BM_LookupEveryPad)->Unit(benchmark::kMillisecond);

void BM_ReadPads(benchmark::State& state) {
    IniDocument ini;
    ini.LoadFromText(projectText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadPads(ini).size());
    }
}
BENCHMARK(BM_ReadPads)->Unit(benchmark::kMillisecond);

void BM_RemovePadsByName(benchmark::State& state) {
    const std::vector<std::string> names = padNames();
    for (auto _ : state) {
        state.PauseTiming();
        IniDocument ini;
        ini.LoadFromText(projectText());
        state.ResumeTiming();
        for (const std::string& name : names) {
            ini.RemoveSection(name);
        }
        benchmark::DoNotOptimize(ini.SectionsCount());
        state.PauseTiming();
        ini = IniDocument();  // the destruction is not what is measured
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemovePadsByName)->Unit(benchmark::kMillisecond);

// The pattern that defeats a plain vector: read a position in the middle, remove that section, repeat.
void BM_RemoveByPosition(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        IniDocument ini;
        ini.LoadFromText(projectText());
        state.ResumeTiming();
        while (ini.SectionsCount() > 0) {
            ini.RemoveSection(ini.SectionName(1 + ini.SectionsCount() / 2));
        }
        state.PauseTiming();
        ini = IniDocument();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveByPosition)->Unit(benchmark::kMillisecond);

void BM_CanonicalText(benchmark::State& state) {
    IniDocument ini;
    ini.LoadFromText(projectText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini.ToText().size());
    }
}
BENCHMARK(BM_CanonicalText)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvane
