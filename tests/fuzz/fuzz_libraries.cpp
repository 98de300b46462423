// Both library readers on any text: they never fail, a footprint list has one entry per line, symbol names
// are trimmed, and the schematic body is everything from line 14 on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "export/Libraries.h"
#include "export/SchematicWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = SplitLibraryLines(text);
    const auto footprints = ParseFootprintLibrary(text);
    FUZZ_CHECK(footprints.size() == lines.size());
    for (const std::string& entry : footprints) {
        FUZZ_CHECK(entry.empty() || (entry.front() != ' ' && entry.back() != ' '));
        FUZZ_CHECK(entry.find_first_of("\r\n") == std::string::npos);
    }
    for (SymbolWordCase wordCase : {SymbolWordCase::Exact, SymbolWordCase::Insensitive}) {
        const auto symbols = ParseSchematicSymbols(text, wordCase);
        // Every symbol takes 20 lines of its own.
        FUZZ_CHECK(symbols.size() * 20 <= lines.size());
    }
    const SchematicLibrary library = ParseSchematicLibrary(text);
    FUZZ_CHECK(library.symbols == ParseSchematicSymbols(text, SymbolWordCase::Exact));
    FUZZ_CHECK(library.body.size() == (lines.size() > 13 ? lines.size() - 13 : 0));
    return 0;
}
