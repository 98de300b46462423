// The net-list (Protel and KiCad) and schematic writers over whatever a project document makes of the export
// model: every line they write ends with CR LF and holds no other line break, and only components whose
// reference names a symbol reach the schematic.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "../export/SExpression.h"
#include "FuzzCheck.h"
#include "export/ExportModel.h"
#include "export/KiCadNetListWriter.h"
#include "export/NetListWriter.h"
#include "export/SchematicWriter.h"
#include "storage/IniDocument.h"

namespace {

using namespace korvane;

// Three symbols after a 13-line header.
std::string sampleLibrary() {
    std::string text;
    for (int i = 0; i < 13; ++i) {
        text += "Header " + std::to_string(i) + "\r\n";
    }
    for (const char* name : {"RES", "CAP", "DIODE"}) {
        text += "Component\r\n";
        for (int i = 1; i < 19; ++i) {
            text += "field\r\n";
        }
        text += std::string(name) + "\r\nEndComponent\r\n";
    }
    return text;
}

void checkLines(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        FUZZ_CHECK(end != std::string::npos);
        const std::string_view line(text.data() + pos, end - pos);
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        pos = end + 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const SchematicLibrary library = ParseSchematicLibrary(sampleLibrary());
    IniDocument doc;
    doc.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    ExportModel model = ExportModelOfOpenedProject(doc);

    checkLines(NetListText(model));
    // The KiCad net list must also stay one closed expression: no quoted text may end early.
    const std::string kiCad = KiCadNetListText(model, KiCadDesign{"p.kvp", "Korvane"});
    checkLines(kiCad);
    FUZZ_CHECK(korvane::testing::oneClosedExpression(kiCad));

    // The schematic export writes only when every component names a symbol; give the others one.
    for (ComponentData& component : model.components) {
        if (!ValidSchematicReference(component.libRef, library.symbols.size())) {
            component.libRef = std::to_string(component.designator.size() % library.symbols.size());
        }
    }
    FUZZ_CHECK(ComponentsWithoutSymbol(model, library.symbols.size()).empty());
    checkLines(SchematicText(model, library));
    return 0;
}
