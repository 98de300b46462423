#include "align/Alignment.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"

namespace korvane {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Exactly count finite numbers separated by ",", blanks around each allowed; anything else is none.
std::optional<std::vector<double>> parseNumbers(std::string_view text, std::size_t count) {
    std::vector<double> numbers;
    while (true) {
        const std::size_t comma = text.find(',');
        std::string_view part = trimmed(text.substr(0, comma));
        if (!part.empty() && part.front() == '+') {
            part.remove_prefix(1);
        }
        double value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() ||
            !std::isfinite(value)) {
            return std::nullopt;
        }
        numbers.push_back(value);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    if (numbers.size() != count) {
        return std::nullopt;
    }
    return numbers;
}

std::optional<Alignment> fail(std::string* why, std::string reason) {
    if (why) {
        *why = std::move(reason);
    }
    return std::nullopt;
}

}  // namespace

std::string FormatExactNumber(double value) {
    if (value == 0) {
        return "0";  // -0 too: the same position
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<Alignment> ReadAlignment(const IniDocument& ini, std::string* why) {
    if (why) {
        why->clear();
    }
    if (!ini.SectionExists(kAlignmentSection)) {
        return std::nullopt;
    }
    Alignment alignment;
    const std::string matrixText = ini.Value(kAlignmentSection, "Matrix");
    const auto matrix = parseNumbers(matrixText, 6);
    if (!matrix) {
        return fail(why, "the alignment's matrix \"" + matrixText + "\" is not six numbers");
    }
    const std::vector<double>& m = *matrix;
    alignment.map = {m[0], m[1], m[2], m[3], m[4], m[5]};
    if (!alignment.map.inverse()) {
        return fail(why, "the alignment's matrix \"" + matrixText + "\" cannot be inverted");
    }
    // A section with a matrix and no pairs (typed by hand) is a complete alignment.
    const std::string countText = std::string(trimmed(ini.Value(kAlignmentSection, "Pairs")));
    int count = 0;
    if (!countText.empty()) {
        const auto [end, error] =
            std::from_chars(countText.data(), countText.data() + countText.size(), count);
        if (error != std::errc() || end != countText.data() + countText.size() || count < 0 ||
            count > kMaxAlignPairs) {
            return fail(why, "the alignment's pair count \"" + countText + "\" is not a number of pairs");
        }
    }
    // Not more than the section holds: a damaged count must not claim memory for pairs that are not there.
    alignment.pairs.reserve(std::size_t(std::min(count, std::max(0, ini.ValuesCount(kAlignmentSection)))));
    for (int i = 1; i <= count; ++i) {
        const std::string key = "Pair" + std::to_string(i);
        const std::string text = ini.Value(kAlignmentSection, key);
        const auto numbers = parseNumbers(text, 4);
        if (!numbers) {
            return fail(why, "the alignment's " + key + " \"" + text + "\" is not four numbers");
        }
        for (double value : *numbers) {
            if (std::abs(value) > kCoordinateLimit) {
                return fail(why, "the alignment's " + key + " \"" + text + "\" lies far outside any picture");
            }
        }
        const std::vector<double>& p = *numbers;
        alignment.pairs.push_back({p[0], p[1], p[2], p[3]});
    }
    return alignment;
}

void WriteAlignment(IniDocument& ini, const std::optional<Alignment>& alignment) {
    while (ini.RemoveSection(kAlignmentSection)) {
    }
    if (!alignment) {
        return;
    }
    const AffineMap& m = alignment->map;
    std::string matrix;
    for (double value : {m.a, m.b, m.c, m.d, m.e, m.f}) {
        matrix += (matrix.empty() ? "" : ",") + FormatExactNumber(value);
    }
    ini.AddSection(kAlignmentSection);
    ini.SetValue(kAlignmentSection, "Matrix", matrix);
    ini.SetValue(kAlignmentSection, "Pairs", std::to_string(alignment->pairs.size()));
    for (std::size_t i = 0; i < alignment->pairs.size(); ++i) {
        const AlignPair& p = alignment->pairs[i];
        ini.SetValue(kAlignmentSection, "Pair" + std::to_string(i + 1),
                     FormatExactNumber(p.x1) + "," + FormatExactNumber(p.y1) + "," + FormatExactNumber(p.x2) +
                         "," + FormatExactNumber(p.y2));
    }
}

}  // namespace korvane
