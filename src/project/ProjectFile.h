#pragma once

// Between the project file and the project model: what opening reads out of the document into the
// project (pads, the component table, the traces, the cursor values) and what saving writes back into
// it. The document keeps everything else the file holds, so sections and keys this program does not
// know go back where they were. The main window, korvane-cli and the export all open through here, so
// they see one and the same project.

#include <string>
#include <vector>

#include "storage/ProjectKeys.h"

namespace korvane {

class Project;

struct OpenedProject {
    // The records that became pads, in document order (sections that name no usable pad are left out).
    std::vector<PadRecord> pads;
    MainValues values;
    // The traces section had records, or was missing: the user is offered to draw them.
    bool offerDrawing = false;
    // Why an "AlignmentSection" that the file has could not be read (the project then has no alignment);
    // empty when it was read or there is none.
    std::string alignmentProblem;
};

// Reads project.doc (the file's text, just loaded) into the project: pad sections renamed to their
// canonical names, the pads with their names and components, an empty "ComponentsSection" when there
// is none, the traces moved into their two lists, the alignment read. Pictures are the caller's: they need
// decoding.
OpenedProject ReadProjectModel(Project& project);

// Writes the cursor values, the component table, the traces and the alignment (none removes its section)
// into `doc` as a save writes them.
void WriteProjectModel(const Project& project, const MainValues& values, IniDocument& doc);

}  // namespace korvane
