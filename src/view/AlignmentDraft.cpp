#include "view/AlignmentDraft.h"

#include <algorithm>
#include <functional>

namespace korvane {

AlignmentDraft::AlignmentDraft(const std::optional<Alignment>& start) {
    if (start) {
        pairs_ = start->pairs;
    }
    refit();
}

void AlignmentDraft::add(const AlignPair& pair) {
    pairs_.push_back(pair);
    refit();
}

void AlignmentDraft::remove(std::vector<int> rows) {
    // From the last row back, so that each removal leaves the rows still to go where they were.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row >= 0 && row < int(pairs_.size())) {
            pairs_.erase(pairs_.begin() + row);
        }
    }
    refit();
}

void AlignmentDraft::move(int row, const AlignPair& pair) {
    if (row >= 0 && row < int(pairs_.size())) {
        pairs_[std::size_t(row)] = pair;
        refit();
    }
}

void AlignmentDraft::replace(std::vector<AlignPair> pairs) {
    pairs_ = std::move(pairs);
    refit();
}

std::optional<Alignment> AlignmentDraft::result() const {
    if (!map_) {
        return std::nullopt;
    }
    return Alignment{*map_, pairs_};
}

void AlignmentDraft::refit() {
    map_ = FitAffine(pairs_);
    if (map_) {
        residuals_ = Residuals(*map_, pairs_);
        flagged_ = FlagOutliers(residuals_);
        rms_ = RootMeanSquare(residuals_);
    } else {
        residuals_.clear();
        flagged_.clear();
        rms_ = 0;
    }
}

}  // namespace korvane
