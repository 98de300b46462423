// The INI document as any file may hold it: loading never fails, and the canonical text is a fixed point
// after the first write (which may drop comments, blanks and unreadable lines, but nothing after that).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "storage/IniDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using korvane::IniDocument;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    IniDocument first;
    first.LoadFromText(text);
    const std::string written = first.ToText();

    IniDocument second;
    second.LoadFromText(written);
    FUZZ_CHECK(second.SectionsCount() == first.SectionsCount());
    FUZZ_CHECK(second.ToText() == written);

    // Lookups with whatever names the file holds never fail.
    for (int i = 0; i <= first.SectionsCount() + 1; ++i) {
        const std::string name = first.SectionName(i);
        (void)first.ValueName(name, 0);
        (void)first.ValueName(name, first.ValuesCount(name) + 1);
        (void)first.Value(name, first.ValueName(name, 1));
    }
    return 0;
}
