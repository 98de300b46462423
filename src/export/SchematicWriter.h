#pragma once

// The Protel ASCII schematic: two header lines, the symbol library's body, the organisation block, the
// sheet and one twelve-line part record per component, every line ending with CR LF. Every part stands at
// the same place; the user spreads them in the schematic editor.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/ExportModel.h"

namespace korvane {

// One reading of the schematic library: the symbols a part can refer to and the lines copied into the
// schematic. Both come from the same bytes, so the references checked are the references written.
struct SchematicLibrary {
    std::vector<std::string> symbols;  // names in file order, as the export dialog's pick list holds them
    std::vector<std::string> body;     // line 14 to the end, without line ends
};

SchematicLibrary ParseSchematicLibrary(std::string_view text);
// Nothing when the file is missing, not a regular file or cannot be read to its end.
std::optional<SchematicLibrary> ReadSchematicLibrary(const std::string& path);

// A reference names a symbol when it is a whole decimal number below the number of symbols.
bool ValidSchematicReference(std::string_view reference, std::size_t symbolCount);
// Designators of the components, in model order, whose reference names no symbol. A part written with
// such a reference would point at the wrong symbol or shift the fields of its line.
std::vector<std::string> ComponentsWithoutSymbol(const ExportModel& model, std::size_t symbolCount);

// The whole file. The references are written as they stand; check them first.
std::string SchematicText(const ExportModel& model, const SchematicLibrary& library);

}  // namespace korvane
