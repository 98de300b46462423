#pragma once

// KiCad's S-expression net list, version "D": the same components, nets and nodes as the Protel net list
// of the project, for users who rebuild the board in KiCad or pcb-rnd. "D" because pcb-rnd 3.0 refuses
// the newer "E" header and KiCad reads both.
//
//   (export (version "D")
//     (design
//       (source "board.kvp")
//       (tool "Korvane 0.1.0"))
//     (components
//       (comp (ref "R1")
//         (value "10k")
//         (footprint "AXIAL0.4")))
//     (nets
//       (net (code "1") (name "GND")
//         (node (ref "R1") (pin "1")))))
//
// Every line ends with CR LF like every file the program writes.

#include <string>
#include <string_view>

#include "export/ExportModel.h"

namespace korvane {

// What the "design" block names; readers ignore it, people read it.
struct KiCadDesign {
    std::string source;  // the project's file name, without its folder
    std::string tool;    // "Korvane" and the program's version
};

// The design block for the project at projectPath (a full path or a bare name).
KiCadDesign KiCadDesignOf(std::string_view projectPath);

// A text as a quoted S-expression string the way KiCad writes one: backslash and double quote get a
// backslash in front, CR, LF and NUL become blanks (as in the Protel net list, so both files name the same
// nets and no name breaks a line), every other byte is passed through.
std::string KiCadQuoted(std::string_view text);

// The whole file. Components in the export dialog's order with the part type as value; nets numbered from
// 1 in the net list's order, with the nodes NetsWithNodes gives them (a net without pads is listed too).
std::string KiCadNetListText(const ExportModel& model, const KiCadDesign& design);

}  // namespace korvane
