#include "tracing/TraceRecords.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "text/Numbers.h"

namespace korvane {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at pos: optional sign, digits, optional "." and digits, at least one digit in all.
std::optional<double> numberAt(std::string_view text, std::size_t pos) {
    if (pos > text.size()) {
        return std::nullopt;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t start = pos;
    std::size_t end = pos;
    bool anyDigit = false;
    while (end < text.size() && isDigit(text[end])) {
        ++end;
        anyDigit = true;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && isDigit(text[end])) {
            ++end;
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    // from_chars does not take a bare trailing "." or a leading one without digits before it in every
    // library; give it the canonical form.
    std::string canonical(text.substr(start, end - start));
    if (canonical.front() == '.') {
        canonical.insert(canonical.begin(), '0');
    }
    if (canonical.back() == '.') {
        canonical.pop_back();
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value,
                                           std::chars_format::fixed);
    if (ec != std::errc() || ptr != canonical.data() + canonical.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

bool wholeWithin(double value, double low, double high) {
    return value >= low && value <= high && std::floor(value) == value;
}

constexpr std::string_view kChannelsSuffix = "@channels";
constexpr std::string_view kSpecksSuffix = "@specks";
constexpr std::string_view kAdaptiveSuffix = "@adaptive";

}  // namespace

std::string_view FillModeSuffix(FillMode mode) {
    switch (mode) {
        case FillMode::Channels:
            return kChannelsSuffix;
        case FillMode::Specks:
            return kSpecksSuffix;
        case FillMode::Adaptive:
            return kAdaptiveSuffix;
        case FillMode::Packed:
            break;
    }
    return {};
}

FillMode TraceRecordMode(std::string_view record) {
    for (FillMode mode : {FillMode::Channels, FillMode::Specks, FillMode::Adaptive}) {
        if (record.ends_with(FillModeSuffix(mode))) {
            return mode;
        }
    }
    return FillMode::Packed;
}

std::string FormatTraceRecord(const TraceRecord& record) {
    return std::to_string(record.picture) + "-" + std::to_string(record.x) + "-" + std::to_string(record.y) +
           "-" + std::to_string(record.origColor) + "=" + std::to_string(record.fillColor) + "-" +
           formatFraction(record.dmin) + "-" + formatFraction(record.dmax) +
           std::string(FillModeSuffix(record.mode));
}

std::optional<TraceRecord> ParseTraceRecord(std::string_view text) {
    const std::optional<double> picture = numberAt(text, 0);
    if (!picture || (*picture != 1 && *picture != 2) || text.size() < 2) {
        return std::nullopt;
    }
    // The picture digit and its separator are skipped whatever they are.
    const std::string_view rest = text.substr(2);

    double fields[6] = {};
    const char separators[5] = {'-', '-', '=', '-', '-'};
    const std::optional<double> x = numberAt(rest, 0);
    if (!x) {
        return std::nullopt;
    }
    fields[0] = *x;
    std::size_t from = 0;
    for (int i = 0; i < 5; ++i) {
        const std::size_t found = rest.find(separators[i], from);
        if (found == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<double> value = numberAt(rest, found + 1);
        if (!value) {
            return std::nullopt;
        }
        fields[i + 1] = *value;
        from = found + 1;
    }

    constexpr double kMaxWhole = std::numeric_limits<std::int32_t>::max();
    constexpr double kMaxColour = 16777215;
    if (!wholeWithin(fields[0], 0, kMaxWhole) || !wholeWithin(fields[1], 0, kMaxWhole) ||
        !wholeWithin(fields[2], 0, kMaxColour) || !wholeWithin(fields[3], 0, kMaxColour)) {
        return std::nullopt;
    }
    const float dmin = float(fields[4]);
    const float dmax = float(fields[5]);
    if (!std::isfinite(dmin) || !std::isfinite(dmax) || dmin < 0 || dmax < 0) {
        return std::nullopt;
    }

    TraceRecord record;
    record.picture = int(*picture);
    record.x = std::int32_t(fields[0]);
    record.y = std::int32_t(fields[1]);
    record.origColor = std::int32_t(fields[2]);
    record.fillColor = std::int32_t(fields[3]);
    record.dmin = dmin;
    record.dmax = dmax;
    record.mode = TraceRecordMode(text);
    return record;
}

TraceSeed TraceSeedOf(std::string_view record) {
    const std::string_view rest = record.size() > 2 ? record.substr(2) : std::string_view();
    TraceSeed seed;
    seed.x = parseNumber(rest);
    const std::size_t dash = rest.find('-');
    seed.y = parseNumber(dash == std::string_view::npos ? rest : rest.substr(dash + 1));
    return seed;
}

TraceList& TraceList::operator=(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    changed(false);
    return *this;
}

void TraceList::push_back(std::string record) {
    lines_.push_back(std::move(record));
    changed(true);
}

void TraceList::clear() {
    lines_.clear();
    changed(false);
}

void TraceList::removeAt(std::vector<std::size_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it < lines_.size()) {
            lines_.erase(lines_.begin() + std::ptrdiff_t(*it));
        }
    }
    changed(false);
}

}  // namespace korvane
