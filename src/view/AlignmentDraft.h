#pragma once

// The alignment window's working copy: the point pairs the user collects, refitted after every change,
// with each pair's residual and the pairs that fit much worse than the rest. Nothing reaches the project
// until the user applies it.

#include <optional>
#include <vector>

#include "align/Alignment.h"

namespace korvane {

class AlignmentDraft {
  public:
    explicit AlignmentDraft(const std::optional<Alignment>& start = std::nullopt);

    const std::vector<AlignPair>& pairs() const { return pairs_; }
    void add(const AlignPair& pair);
    // Rows that do not exist are ignored.
    void remove(std::vector<int> rows);
    void move(int row, const AlignPair& pair);
    void replace(std::vector<AlignPair> pairs);

    // None while the pairs cannot decide a mapping (fewer than two, or all on one line).
    const std::optional<AffineMap>& map() const { return map_; }
    // Per pair, in picture-2 pixels; empty without a mapping.
    const std::vector<double>& residuals() const { return residuals_; }
    const std::vector<bool>& flagged() const { return flagged_; }
    double rms() const { return rms_; }
    std::optional<Alignment> result() const;

  private:
    void refit();

    std::vector<AlignPair> pairs_;
    std::optional<AffineMap> map_;
    std::vector<double> residuals_;
    std::vector<bool> flagged_;
    double rms_ = 0;
};

}  // namespace korvane
