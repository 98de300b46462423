// Trace records as a project file may hold them, replayed on a small picture: parsing accepts only what
// the fill can work with, a record that parses formats back to a record that parses to the same values,
// and a replay (draw, then erase) ends and never writes outside the picture. Run with -timeout so that a
// fill that never ends is reported.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"

namespace {

using namespace korvane;

constexpr int kWidth = 24;
constexpr int kHeight = 16;
constexpr int kStride = kWidth + 8;  // a margin at the end of every row
constexpr std::uint32_t kGuard = 0xA5A5A5A5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)TraceSeedOf(text);
    const std::optional<TraceRecord> record = ParseTraceRecord(text);
    if (!record) {
        return 0;
    }
    FUZZ_CHECK(record->picture == 1 || record->picture == 2);
    FUZZ_CHECK(record->x >= 0 && record->y >= 0);
    FUZZ_CHECK(record->origColor >= 0 && record->origColor <= 0xFFFFFF);
    FUZZ_CHECK(record->fillColor >= 0 && record->fillColor <= 0xFFFFFF);
    const std::optional<TraceRecord> again = ParseTraceRecord(FormatTraceRecord(*record));
    FUZZ_CHECK(again && again->picture == record->picture && again->x == record->x && again->y == record->y &&
               again->origColor == record->origColor && again->fillColor == record->fillColor &&
               again->dmin == record->dmin && again->dmax == record->dmax);

    // A picture of stripes and blobs in a few colours, with guard rows above and below and a guard margin
    // at the end of every row.
    std::vector<std::uint32_t> memory(std::size_t(kStride) * (kHeight + 2), kGuard);
    std::uint32_t* pixels = memory.data() + kStride;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t colour =
                ((x / 3 + y / 4) % 3 == 0) ? 0x404040u : ((x * y) % 7 == 0 ? 0xFFu : 0x0u);
            pixels[y * kStride + x] = 0xFF000000u | colour;
        }
    }
    // The seed inside the picture most of the time, so that the fill itself is exercised.
    TraceRecord onPicture = *record;
    if (onPicture.x >= kWidth * 2 || onPicture.y >= kHeight * 2) {
        onPicture.x %= kWidth;
        onPicture.y %= kHeight;
    }
    ImageView view{pixels, kWidth, kHeight, kStride};
    FillControl control;
    for (const TraceRecord& replayed : {*record, onPicture}) {
        (void)ReplayRecord(replayed, ReplayMode::Draw, view, control);
        (void)ReplayRecord(replayed, ReplayMode::Erase, view, control);
    }
    for (std::size_t i = 0; i < memory.size(); ++i) {
        const std::size_t row = i / kStride;
        const std::size_t column = i % kStride;
        if (row == 0 || row == kHeight + 1 || column >= kWidth) {
            FUZZ_CHECK(memory[i] == kGuard);
        }
    }
    return 0;
}
