#include "export/ExportRun.h"

#include <optional>

#include "export/KiCadNetListWriter.h"
#include "export/Libraries.h"
#include "export/NetListWriter.h"
#include "export/SchematicWriter.h"
#include "storage/AtomicFile.h"

namespace korvane {

namespace {

// A long list of names would make a message box taller than the screen.
constexpr std::size_t kNamesShown = 20;

void tell(Ui& ui, const std::string& prompt, const std::string& title, MsgIcon icon) {
    ui.message(MessageRequest{prompt, title, MsgButtons::Ok, icon, 1});
}

// The chosen file, or nothing when the user cancelled.
std::optional<std::string> askFile(FileDialogState& dialog, const std::string& filter,
                                   const std::string& title, const std::string& initialDir) {
    dialog.Flags = kExportDialogFlags;
    dialog.SetFilter(filter);
    dialog.FilterIndex = 1;
    dialog.DialogTitle = title;
    dialog.InitDir = initialDir;
    dialog.FileName.clear();
    dialog.FileTitle.clear();
    // Whatever another command left here would be appended to a name typed without extension.
    dialog.DefaultExt.clear();
    if (dialog.ShowSave() == FileChoice::Cancelled) {
        return std::nullopt;
    }
    return dialog.FileName;
}

bool writeOrReport(Ui& ui, const std::string& path, const std::string& bytes) {
    std::string reason;
    bool written = false;
    {
        BusyPointer busy(ui);
        written = writeFileAtomically(path, bytes, &reason);
    }
    if (!written) {
        tell(ui, WriteFailurePrompt(path, reason), "Export error:", MsgIcon::Critical);
    }
    return written;
}

}  // namespace

std::string MissingSymbolsPrompt(const std::vector<std::string>& designators) {
    std::string names;
    for (std::size_t i = 0; i < designators.size() && i < kNamesShown; ++i) {
        names += (i == 0 ? "" : ", ") + designators[i];
    }
    if (designators.size() > kNamesShown) {
        names += " and " + std::to_string(designators.size() - kNamesShown) + " more";
    }
    return "No symbol of the scheme library is chosen for: " + names +
           ". Choose the reference of scheme library for each of them and export again. The net-list is "
           "written; the sch-file is not.";
}

std::string WriteFailurePrompt(const std::string& path, const std::string& reason) {
    return "Can't write the file " + path + (reason.empty() ? std::string() : " (" + reason + ")") +
           ". Export was stopped.";
}

ExportOutcome RunExport(const ExportModel& model, const std::string& programDir, Ui& ui,
                        FileDialogState& fileDialog, ExportFiles& previous, NetListFormat format,
                        const std::string& projectPath) {
    const bool kiCad = format == NetListFormat::KiCad;
    const std::optional<std::string> netListPath =
        askFile(fileDialog, kiCad ? "KiCad net list *.net|*.net" : "Protel net list *.net|*.net",
                "Enter filename of the exporting net-list:", previous.netList);
    if (!netListPath) {
        return ExportOutcome::Cancelled;
    }
    previous.netList = *netListPath;
    const std::string netList =
        kiCad ? KiCadNetListText(model, KiCadDesignOf(projectPath)) : NetListText(model);
    if (!writeOrReport(ui, *netListPath, netList)) {
        return ExportOutcome::Failed;
    }

    // One reading serves the check of the references and the copy, so they cannot disagree.
    const std::optional<SchematicLibrary> library = ReadSchematicLibrary(SchematicLibraryPath(programDir));
    if (!library) {
        ui.message(SchematicLibraryMissingMessage(programDir));
        return ExportOutcome::NetListOnly;
    }
    const std::vector<std::string> missing = ComponentsWithoutSymbol(model, library->symbols.size());
    if (!missing.empty()) {
        tell(ui, MissingSymbolsPrompt(missing), "Export of scheme skipped:", MsgIcon::Exclamation);
        return ExportOutcome::NetListOnly;
    }

    const std::optional<std::string> schematicPath =
        askFile(fileDialog, "Protel ASCII sch file *.sch|*.sch",
                "Enter filename of the exporting sch-file:", previous.schematic);
    if (!schematicPath) {
        return ExportOutcome::NetListOnly;
    }
    previous.schematic = *schematicPath;
    if (!writeOrReport(ui, *schematicPath, SchematicText(model, *library))) {
        return ExportOutcome::Failed;
    }
    tell(ui, "Export was completed.", "Sch and net-list export:", MsgIcon::Information);
    return ExportOutcome::Completed;
}

}  // namespace korvane
