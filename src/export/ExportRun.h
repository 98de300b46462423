#pragma once

// The export as the user runs it from the export dialog: ask for the net-list file and write it, check the
// schematic library, ask for the schematic file and write it, then say that the export is complete. Every
// dialog and message goes through the Ui, so the sequence runs the same under tests.

#include <cstdint>
#include <string>
#include <vector>

#include "export/ExportModel.h"
#include "platform/FileDialogState.h"
#include "platform/Ui.h"

namespace korvane {

// The files chosen at the previous export while the program runs; each dialog starts there.
struct ExportFiles {
    std::string netList;
    std::string schematic;
};

enum class ExportOutcome {
    Cancelled,    // the net-list dialog was cancelled: nothing written, nothing said
    NetListOnly,  // the net list is written; the schematic was not (no library, a component without a
                  // symbol, or the schematic dialog cancelled)
    Completed,    // both files written and "Export was completed." shown
    Failed,       // a file could not be written; reported, files completed before it stay
};

// The format of the net-list file; the schematic is the same for both.
enum class NetListFormat {
    Protel,  // the Protel net list
    KiCad,   // KiCad's S-expression net list
};

// Explorer style, long names, no read-only box, prompt before overwriting: the value 2621446.
inline constexpr std::int32_t kExportDialogFlags = OpenSaveFlags::Explorer | OpenSaveFlags::LongNames |
                                                   OpenSaveFlags::HideReadOnly |
                                                   OpenSaveFlags::OverwritePrompt;

// Runs the export of model with the schematic library of programDir. fileDialog is the program's file
// dialog object; previous is read for the start folders and updated with the files chosen. The net list
// is written in format; a KiCad net list names projectPath's file as its source.
ExportOutcome RunExport(const ExportModel& model, const std::string& programDir, Ui& ui,
                        FileDialogState& fileDialog, ExportFiles& previous,
                        NetListFormat format = NetListFormat::Protel, const std::string& projectPath = {});

// Texts shared with korvane-cli.
// Names the components whose schematic reference names no symbol (the first few when there are many).
std::string MissingSymbolsPrompt(const std::vector<std::string>& designators);
std::string WriteFailurePrompt(const std::string& path, const std::string& reason);

}  // namespace korvane
