#include "project/ProjectFile.h"

#include "project/Project.h"

namespace korvane {

OpenedProject ReadProjectModel(Project& project) {
    OpenedProject opened;
    opened.values = ReadMainValues(project.doc);
    PadBoard::NormalisePadSections(project.doc);
    for (PadRecord& record : ReadPads(project.doc)) {
        if (project.pads.loadPad(record)) {
            opened.pads.push_back(std::move(record));
        }
    }
    project.doc.AddSection(kComponentsSection);
    TraceLists traces = TakeTraces(project.doc);
    project.traces1 = std::move(traces.first);
    project.traces2 = std::move(traces.second);
    opened.offerDrawing = traces.offerDrawing;
    project.alignment = ReadAlignment(project.doc, &opened.alignmentProblem);
    return opened;
}

void WriteProjectModel(const Project& project, const MainValues& values, IniDocument& doc) {
    WriteMainValues(doc, values);
    WriteComponents(doc, project.pads.componentTable());
    WriteTraces(doc, project.traces1, project.traces2);
    WriteAlignment(doc, project.alignment);
}

}  // namespace korvane
