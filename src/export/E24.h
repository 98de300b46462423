#pragma once

// The part-type pick list of the export dialog: an empty entry, then the E24 preferred numbers over three
// decades. The values are kept as literal texts, never computed, so "2.0" keeps its ".0" and no value can
// come out as 2.1999999 or 1e+02.

#include <string>
#include <vector>

namespace korvane {

// 73 entries in pick-list order: "", "1.0" .. "9.1", "10" .. "91", "100" .. "910". Not sorted.
const std::vector<std::string>& PartTypePickList();

}  // namespace korvane
