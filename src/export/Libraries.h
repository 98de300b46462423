#pragma once

// The component libraries in the program's Lib folder: a footprint list (one name per line) and a
// schematic symbol library in the Protel ASCII schematic layout. The dialogs read them into their pick
// lists each time they become active, so a library edited while the program runs is picked up at the
// next activation; the schematic writer copies the library body into every schematic it writes.
// Nothing here interprets a library beyond the fixed line positions: the files are the library
// author's business.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Ui.h"

namespace korvane {

// The pad dialog takes "component" as a record start too; the export keeps to the exact word, as the
// schematic readers on the other side do.
enum class SymbolWordCase { Insensitive, Exact };

// Where the libraries are looked for: the program folder followed by the library's relative path.
std::string FootprintLibraryPath(const std::string& programDir);  // programDir + "/Lib/pcb.lb"
std::string SchematicLibraryPath(const std::string& programDir);  // programDir + "/Lib/sch.lb"

// A library's pick list: the footprint names, or the symbol names in file order. Nothing when the file is
// missing, not a regular file, or cannot be read to its end.
std::optional<std::vector<std::string>> ReadFootprintPickList(const std::string& programDir);
std::optional<std::vector<std::string>> ReadSchematicPickList(const std::string& programDir,
                                                              SymbolWordCase wordCase);

// What the user is told when a library cannot be read: "not found or access denied" for every cause.
// The schematic export tells the second one too, when it finds the library gone.
MessageRequest FootprintLibraryMissingMessage(const std::string& programDir);
MessageRequest SchematicLibraryMissingMessage(const std::string& programDir);

// The dialogs' pick lists, reloaded each time a dialog becomes active: `list` takes the library's names;
// when the library cannot be read, the user is told through ui and `list` keeps what it held. Returns
// true when the library was loaded.
bool LoadFootprintPickList(const std::string& programDir, Ui& ui, std::vector<std::string>& list);
bool LoadSchematicPickList(const std::string& programDir, Ui& ui, SymbolWordCase wordCase,
                           std::vector<std::string>& list);

// The schematic library can be read (the schematic export asks before it asks for a file name).
bool SchematicLibraryAvailable(const std::string& programDir);
// Line 14 to the end of the schematic library, each line as it stands without its line end; empty when
// the library cannot be read or holds no more than its header.
std::vector<std::string> SchematicLibraryBody(const std::string& programDir);

// Pure parsers over the whole text of a library; lines end at CR LF, LF or a lone CR.
// Every line is one entry, trimmed of blanks at both ends; empty lines give empty entries.
std::vector<std::string> ParseFootprintLibrary(std::string_view text);
// The trimmed 19th line after each line that reads "Component", in file order. Reading goes on after
// the name line, so the header and everything between records are skipped by the same rule; a record
// cut short by the end of the text adds nothing.
std::vector<std::string> ParseSchematicSymbols(std::string_view text, SymbolWordCase wordCase);

// The lines of a text without their line ends (CR LF, LF or a lone CR); a last line without an end
// counts, an end at the very end of the text starts no further line.
std::vector<std::string_view> SplitLibraryLines(std::string_view text);

}  // namespace korvane
