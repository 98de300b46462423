#include "text/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace korvane {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

// Writes the digits of a scientific rendering into fixed notation. `digits` holds the significant
// digits without a point or trailing zeros, `exponent` the decimal exponent of the first of them.
void appendFixed(std::string& out, std::string_view digits, int exponent) {
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return;
    }
    const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= wholeDigits) {
        out += digits;
        out.append(wholeDigits - digits.size(), '0');
        return;
    }
    out += digits.substr(0, wholeDigits);
    out += '.';
    out += digits.substr(wholeDigits);
}

}  // namespace

std::int64_t nearest(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    // 2^63 is exact as a double; anything at or above it cannot be held.
    constexpr double kTwo63 = 9223372036854775808.0;
    if (x >= kTwo63) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (x < -kTwo63) {
        return std::numeric_limits<std::int64_t>::min();
    }
    // Done by hand rather than with nearbyint() so the result never depends on the floating-point
    // rounding mode some library may have left behind. x - floor(x) is exact for every double.
    const double below = std::floor(x);
    const double rest = x - below;
    double result = below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        result = below + 1.0;
    }
    return static_cast<std::int64_t>(result);
}

double parseNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // The grammar is scanned here, not left to the converter, so that "nan", "inf" and hex floats
    // are never numbers however the library is inclined.
    const std::size_t start = pos;
    std::size_t end = skipDigits(text, pos);
    bool anyDigit = end > start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(text, end + 1);
        anyDigit = anyDigit || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!anyDigit) {
        return 0.0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t expPos = end + 1;
        if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-')) {
            ++expPos;
        }
        const std::size_t expEnd = skipDigits(text, expPos);
        if (expEnd > expPos) {
            end = expEnd;
        }
    }
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    // Overflow is reported as out of range and leaves no usable value; underflow reads as zero anyway.
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::int32_t parseWhole(std::string_view text) {
    const std::int64_t whole = nearest(parseNumber(text));
    if (whole > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (whole < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(whole);
}

std::string formatNumber(double value) {
    if (!std::isfinite(value) || value == 0.0) {
        return "0";
    }
    // Whole values keep every digit: pixel positions and packed colours must come back exactly.
    constexpr double kExponentFrom = 1e15;
    if (std::fabs(value) < kExponentFrom && std::trunc(value) == value) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value));
        return std::string(buffer, result.ptr);
    }

    // The rounding to seven significant digits is left to to_chars, and the exponent is read from
    // its output rather than computed with log10, which misjudges values close to a power of ten.
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = sci.front() == '-';
    const std::size_t mantissaStart = negative ? 1 : 0;
    const std::size_t ePos = sci.find('e');

    std::string digits;
    for (std::size_t i = mantissaStart; i < ePos; ++i) {
        if (sci[i] != '.') {
            digits += sci[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 2, sci.data() + sci.size(), exponent);
    if (sci[ePos + 1] == '-') {
        exponent = -exponent;
    }

    std::string out = negative ? "-" : "";
    if (exponent >= -7 && exponent < 15) {
        appendFixed(out, digits, exponent);
        return out;
    }
    out += digits.front();
    if (digits.size() > 1) {
        out += '.';
        out += std::string_view(digits).substr(1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
    return out;
}

std::string formatFraction(float value) {
    if (!std::isfinite(value) || value == 0.0f) {
        return "0";
    }
    // Fixed notation of the smallest subnormal float needs some 50 characters.
    char buffer[128];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, result.ptr);
}

}  // namespace korvane
