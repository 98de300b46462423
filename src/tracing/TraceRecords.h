#pragma once

// Trace records, the one-line text form of a kept fill: "PicN-X-Y-OrigColor=FillColor-Dmin-Dmax", for
// example "1-120-45-4210752=255-0.1-0.1". Projects keep them in two lists, one per picture; the lists are
// the only copy of a project's traces between opening and saving.
//
// A fill made in one of the per-channel modes carries its mode as a suffix, "@channels", "@specks" or
// "@adaptive" ("1-120-45-4210752=255-0.1-0.1@adaptive"); a record without one is a packed-range fill, so
// every record written before the modes existed still means what it meant.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// How a fill decides which pixels belong to the area.
enum class FillMode {
    Packed,    // the packed 24-bit colour within a relative range around the seed's
    Channels,  // red, green and blue each within the tolerance (of 255) around the seed's
    Specks,    // as Channels, and a single out-of-range pixel whose four neighbours are in range joins
    Adaptive,  // a pixel joins from a neighbour in the area when each channel is within the tolerance of
               // that neighbour's: the range follows slow changes of light along the copper
};

// The mode of new fills until the user chooses another: on scans with noise and uneven light it follows a
// track from end to end and stops at the gap to its neighbours, where a fixed range does neither.
inline constexpr FillMode kDefaultFillMode = FillMode::Adaptive;

// The suffix a record of this mode carries: empty for Packed.
std::string_view FillModeSuffix(FillMode mode);
// The mode a record's text names by its suffix (Packed without one), whether or not the rest is valid.
FillMode TraceRecordMode(std::string_view record);

struct TraceRecord {
    int picture = 1;  // 1 or 2
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t origColor = 0;  // the seed's colour before the fill
    std::int32_t fillColor = 0;  // the colour painted
    float dmin = 0;
    float dmax = 0;
    FillMode mode = FillMode::Packed;
};

// Integers without sign or leading zeros; fractions as the shortest text that reads back as the same float;
// then the mode's suffix.
std::string FormatTraceRecord(const TraceRecord& record);

// The record as replay reads it: the picture number first, then, from the third character on, X, and
// each further field as the leading number after its separator ("-", "-", "=", "-", "-"), every search
// starting after the previous separator. A number is an optional sign, digits and an optional "."
// fraction. Only well-formed records are accepted: picture 1 or 2, whole non-negative X and Y, whole
// colours within 0..16777215, finite non-negative fractions. Anything else gives nullopt, because a
// colour that no pixel can hold, for one, would make the fill repaint the same rows for ever. The mode is
// the one TraceRecordMode reads.
std::optional<TraceRecord> ParseTraceRecord(std::string_view record);

// The seed position as a click on a listed record shows it: leniently read, whatever the rest says.
struct TraceSeed {
    double x = 0;
    double y = 0;
};
TraceSeed TraceSeedOf(std::string_view record);

// One picture's trace records in list order, newest last. Views (the traces window) follow it through
// the observer, so the records shown are always the records saved.
class TraceList {
  public:
    using value_type = std::string;
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator;

    // appended is true when the only change is one record added at the end.
    using Observer = std::function<void(bool appended)>;

    TraceList() = default;
    TraceList(const TraceList&) = delete;
    TraceList& operator=(const TraceList&) = delete;

    TraceList& operator=(std::vector<std::string> lines);
    operator const std::vector<std::string>&() const { return lines_; }
    const std::vector<std::string>& lines() const { return lines_; }

    void push_back(std::string record);
    void clear();
    // Removes the records at these indices (any order, duplicates ignored).
    void removeAt(std::vector<std::size_t> indices);

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& operator[](std::size_t index) const { return lines_[index]; }
    const_iterator begin() const { return lines_.begin(); }
    const_iterator end() const { return lines_.end(); }

    void setObserver(Observer observer) { observer_ = std::move(observer); }

    friend bool operator==(const TraceList& list, const std::vector<std::string>& lines) {
        return list.lines_ == lines;
    }

  private:
    void changed(bool appended) {
        if (observer_) {
            observer_(appended);
        }
    }

    std::vector<std::string> lines_;
    Observer observer_;
};

}  // namespace korvane
