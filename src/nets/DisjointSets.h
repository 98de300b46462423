#pragma once

// Union-find over 0..count - 1 with path halving. The smaller root wins a join, so the sets' roots do
// not depend on the order of the joins.

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

namespace korvane {

template <typename Index>
class DisjointSets {
  public:
    explicit DisjointSets(std::size_t count) : parent_(count) {
        std::iota(parent_.begin(), parent_.end(), Index(0));
    }

    Index find(Index i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void join(Index a, Index b) {
        a = find(a);
        b = find(b);
        if (a != b) {
            parent_[std::max(a, b)] = std::min(a, b);
        }
    }

  private:
    std::vector<Index> parent_;
};

}  // namespace korvane
