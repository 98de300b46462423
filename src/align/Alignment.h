#pragma once

// The layers' alignment as the project keeps it: the mapping and the point pairs it was fitted from, in
// a section of its own that older readers of project files skip. A project without an alignment has
// no such section, so its file stays exactly as it was.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "align/AffineMap.h"

namespace korvane {

class IniDocument;

inline constexpr std::string_view kAlignmentSection = "AlignmentSection";
// More pairs than anyone picks or any board has drill holes; a count beyond it is damage.
inline constexpr int kMaxAlignPairs = 1000000;

struct Alignment {
    AffineMap map;
    std::vector<AlignPair> pairs;
    bool operator==(const Alignment&) const = default;
};

// The shortest text that reads back as the same double, "." as decimal point ("0.1", "-3", "1e-07").
std::string FormatExactNumber(double value);

// The project's alignment; none when the document has no "AlignmentSection". A section that cannot be
// read completely (a matrix that is not six finite numbers or that cannot be inverted, a pair count
// or a pair that does not read) also gives none, never a guess, and why then says what was wrong in
// one line; why is left empty when there simply is no alignment.
std::optional<Alignment> ReadAlignment(const IniDocument& ini, std::string* why = nullptr);

// Replaces "AlignmentSection" (every section of that name) with the alignment, appended at the end of
// the document: "Matrix=a,b,c,d,e,f", "Pairs=N", "Pair1=x1,y1,x2,y2" .. "PairN=...". None removes it.
void WriteAlignment(IniDocument& ini, const std::optional<Alignment>& alignment);

}  // namespace korvane
