// Opening a project from any document, as the main window does it minus the pictures: pad sections
// renamed, pads placed, names offered to the lists, main values, traces and the layers' alignment read. Then
// a save and a second open and save: whatever the first save normalised, the second must write the same bytes
// and find the same pads, and every number that reaches the cursor mapping must be finite (scales also
// positive).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "FuzzCheck.h"
#include "align/Alignment.h"
#include "pads/PadBoard.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "tracing/TraceRecords.h"

namespace {

using namespace korvane;

struct Opened {
    std::vector<std::tuple<int, std::string, std::string, std::string>> pads;
    std::vector<std::string> traces1, traces2;
    std::optional<Alignment> alignment;
    std::string saved;
};

// A name as the file gives it back: NUL is written as a blank, and blanks at the end of a value are not
// written at all.
std::string asWritten(std::string name) {
    for (char& c : name) {
        if (c == '\0') {
            c = ' ';
        }
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

// Finite and small enough for every conversion to a pixel number.
bool finite(double v) {
    return std::isfinite(v) && std::abs(v) <= kCoordinateLimit;
}

Opened openAndSave(std::string_view text) {
    IniDocument doc;
    doc.LoadFromText(text);
    (void)PictureEntries(doc);

    PadBoard::NormalisePadSections(doc);
    PadBoard board(doc);
    Opened opened;
    for (const PadRecord& record : ReadPads(doc)) {
        if (board.loadPad(record)) {
            FUZZ_CHECK(finite(record.x1) && finite(record.y1) && finite(record.x2) && finite(record.y2));
            opened.pads.emplace_back(record.number, asWritten(record.padName), asWritten(record.netName),
                                     asWritten(record.compName));
        }
    }
    doc.AddSection(kComponentsSection);
    board.rebuildComponentTable();

    // The window keeps the scales in single precision.
    const MainValues read = ReadMainValues(doc);
    MainValues held = read;
    held.scaleX = float(read.scaleX);
    held.scaleY = float(read.scaleY);
    FUZZ_CHECK(std::isfinite(held.scaleX) && held.scaleX > 0 && std::isfinite(held.scaleY) &&
               held.scaleY > 0);
    FUZZ_CHECK(finite(held.x1) && finite(held.y1) && finite(held.x2) && finite(held.y2));

    TraceLists traces = TakeTraces(doc);
    for (const auto* list : {&traces.first, &traces.second}) {
        for (const std::string& record : *list) {
            if (const auto parsed = ParseTraceRecord(record)) {
                FUZZ_CHECK(parsed->picture == 1 || parsed->picture == 2);
                FUZZ_CHECK(parsed->origColor >= 0 && parsed->origColor <= 0xFFFFFF);
                FUZZ_CHECK(parsed->fillColor >= 0 && parsed->fillColor <= 0xFFFFFF);
            }
        }
    }
    opened.traces1 = traces.first;
    opened.traces2 = traces.second;

    // The layers' mapping reaches the cursors only finite and invertible, its pairs within the pictures'
    // bounds; written back, it reads as the same numbers.
    opened.alignment = ReadAlignment(doc);
    if (opened.alignment) {
        const AffineMap& m = opened.alignment->map;
        FUZZ_CHECK(std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
                   std::isfinite(m.e) && std::isfinite(m.f) && m.inverse());
        for (const AlignPair& p : opened.alignment->pairs) {
            FUZZ_CHECK(finite(p.x1) && finite(p.y1) && finite(p.x2) && finite(p.y2));
        }
    }

    WriteMainValues(doc, held);
    WriteComponents(doc, board.componentTable());
    WriteTraces(doc, traces.first, traces.second);
    WriteAlignment(doc, opened.alignment);
    opened.saved = doc.ToText();
    return opened;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Opened first = openAndSave(text);
    const Opened second = openAndSave(first.saved);
    if (second.saved != first.saved || second.pads != first.pads) {
        std::fprintf(stderr, "first save:\n%s\nsecond save:\n%s\n", first.saved.c_str(),
                     second.saved.c_str());
    }
    FUZZ_CHECK(second.pads == first.pads);
    FUZZ_CHECK(second.alignment == first.alignment);
    FUZZ_CHECK(second.saved == first.saved);
    return 0;
}
