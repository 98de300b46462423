// The export of a large board: 5,000 pads on 1,000 nets and 1,250 components. The whole export (the
// dialog's model of the opened project, the net list and the schematic) must stay well under a second;
// searching every section for every net would cost nets x sections document lookups.

#include <benchmark/benchmark.h>

#include <string>

#include "export/ExportModel.h"
#include "export/NetListWriter.h"
#include "export/SchematicWriter.h"
#include "storage/IniDocument.h"

namespace korvane {
namespace {

constexpr int kPads = 5000;
constexpr int kNets = 1000;
constexpr int kPadsPerComponent = 4;

const std::string& projectText() {
    static const std::string text = [] {
        std::string out = "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\n";
        for (int n = 1; n <= kPads; ++n) {
            out += "\r\n[Pad" + std::to_string(n) +
                   "]\r\nPadName=" + std::to_string(n % kPadsPerComponent + 1) + "\r\nNetName=N" +
                   std::to_string(n * 7 % kNets) + "\r\nCompName=U" +
                   std::to_string(n / kPadsPerComponent + 1) + "\r\n1Pad=" + std::to_string(n % 4000) + "," +
                   std::to_string(n / 4) + "\r\n2Pad=" + std::to_string(n % 4000 + 3) + "," +
                   std::to_string(n / 4 + 2) + "\r\n";
        }
        out += "\r\n[ComponentsSection]\r\n";
        for (int c = 1; c <= kPads / kPadsPerComponent + 1; ++c) {
            out += "U" + std::to_string(c) + "=" + std::to_string(c % 2) + "{label}LM358{footprint}DIP8\r\n";
        }
        return out;
    }();
    return text;
}

SchematicLibrary library() {
    std::string text;
    for (int i = 1; i <= 13; ++i) {
        text += "header\r\n";
    }
    for (const char* name : {"RES", "CAP"}) {
        text += "Component\r\n";
        for (int i = 1; i < 19; ++i) {
            text += "\r\n";
        }
        text += std::string(name) + "\r\nEndComponent\r\n";
    }
    return ParseSchematicLibrary(text);
}

void BM_ExportModelOfOpenedProject(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        IniDocument doc;
        doc.LoadFromText(projectText());
        state.ResumeTiming();
        ExportModel model = ExportModelOfOpenedProject(doc);
        benchmark::DoNotOptimize(model);
    }
}
BENCHMARK(BM_ExportModelOfOpenedProject)->Unit(benchmark::kMillisecond);

void BM_NetListText(benchmark::State& state) {
    IniDocument doc;
    doc.LoadFromText(projectText());
    const ExportModel model = ExportModelOfOpenedProject(doc);
    for (auto _ : state) {
        std::string text = NetListText(model);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_NetListText)->Unit(benchmark::kMillisecond);

// Everything the export does after the project is loaded: model, both files' bytes.
void BM_WholeExport(benchmark::State& state) {
    const SchematicLibrary symbols = library();
    for (auto _ : state) {
        state.PauseTiming();
        IniDocument doc;
        doc.LoadFromText(projectText());
        state.ResumeTiming();
        const ExportModel model = ExportModelOfOpenedProject(doc);
        std::string netList = NetListText(model);
        std::string schematic = SchematicText(model, symbols);
        benchmark::DoNotOptimize(netList);
        benchmark::DoNotOptimize(schematic);
    }
}
BENCHMARK(BM_WholeExport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvane
