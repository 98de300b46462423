#pragma once

// Number conversions shared by the project file, the cursor mapping and the fill. Project files are
// written by this program and edited by hand, so reading is lenient and writing is canonical.

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values beyond the int64 range saturate; NaN gives 0.
std::int64_t nearest(double x);

// Lenient parse: optional blanks, then the longest leading decimal number (sign, digits, fraction,
// exponent); empty or non-numeric text gives 0. Results that are not finite also give 0, so hostile
// text such as "1e999" or "nan" can never reach the arithmetic as infinity or NaN.
double parseNumber(std::string_view text);

// parseNumber rounded with nearest() and clamped to the int32 range.
std::int32_t parseWhole(std::string_view text);

// Shortest decimal text: "." separator, whole values without a point, otherwise at most seven
// significant digits with trailing zeros removed; no exponent for ordinary magnitudes. -0 gives "0".
std::string formatNumber(double value);

// Shortest text that reads back as the same float, leading 0, never an exponent: 0.1, 0.025, 1.
std::string formatFraction(float value);

}  // namespace korvane
