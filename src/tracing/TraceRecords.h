#pragma once

// Trace records, the one-line text form of a kept fill: "PicN-X-Y-OrigColor=FillColor-Dmin-Dmax", for
// example "1-120-45-4210752=255-0.1-0.1". Projects keep them in two lists, one per picture; the lists are
// the only copy of a project's traces between opening and saving.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct TraceRecord {
    int picture = 1;  // 1 or 2
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t origColor = 0;  // the seed's colour before the fill
    std::int32_t fillColor = 0;  // the colour painted
    float dmin = 0;
    float dmax = 0;
};

// Integers without sign or leading zeros; fractions as the shortest text that reads back as the same float.
std::string FormatTraceRecord(const TraceRecord& record);

// The record as replay reads it: the picture number first, then, from the third character on, X, and
// each further field as the leading number after its separator ("-", "-", "=", "-", "-"), every search
// starting after the previous separator. A number is an optional sign, digits and an optional "."
// fraction. Only well-formed records are accepted: picture 1 or 2, whole non-negative X and Y, whole
// colours within 0..16777215, finite non-negative fractions. Anything else gives nullopt, because a
// colour that no pixel can hold, for one, would make the fill repaint the same rows for ever.
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
