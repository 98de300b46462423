#include "transforms/BaseTiles.h"

#include <algorithm>

namespace korvane {

void BaseTiles::reset(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = (width_ + kTile - 1) / kTile;
    rows_ = (height_ + kTile - 1) / kTile;
    // The old index goes first: a new one of the same size is then made from the memory just given back.
    tiles_ = std::vector<std::unique_ptr<std::uint32_t[]>>();
    tiles_.resize(std::size_t(columns_) * std::size_t(rows_));
    saved_ = 0;
    savedBytes_ = 0;
}

int BaseTiles::tileWidth(int column) const {
    return std::min(kTile, width_ - column * kTile);
}

int BaseTiles::tileHeight(int row) const {
    return std::min(kTile, height_ - row * kTile);
}

void BaseTiles::save(const ConstImageView& work, int column, int row) {
    const int w = tileWidth(column);
    const int h = tileHeight(row);
    auto tile = std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(w) * std::size_t(h));
    const std::uint32_t* from = work.pixels + std::ptrdiff_t(row) * kTile * work.stride + column * kTile;
    for (int y = 0; y < h; ++y) {
        std::copy(from, from + w, tile.get() + std::ptrdiff_t(y) * w);
        from += work.stride;
    }
    tiles_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)] = std::move(tile);
    ++saved_;
    savedBytes_ += std::size_t(w) * std::size_t(h) * sizeof(std::uint32_t);
}

void BaseTiles::beforeWrite(const ImageView& work, int y, int x0, int length) {
    if (work.width != width_ || work.height != height_ || y < 0 || y >= height_ || length <= 0) {
        return;
    }
    const int first = std::max(x0, 0) / kTile;
    const int last = std::min(x0 + (length - 1), width_ - 1) / kTile;
    const int row = y / kTile;
    const std::size_t index = std::size_t(row) * std::size_t(columns_);
    for (int column = first; column <= last; ++column) {
        if (!tiles_[index + std::size_t(column)]) {
            save(work, column, row);
        }
    }
}

void BaseTiles::saveAll(const ConstImageView& work) {
    if (work.width != width_ || work.height != height_) {
        return;
    }
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            if (!tiles_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)]) {
                save(work, column, row);
            }
        }
    }
}

std::size_t BaseTiles::bytes() const {
    return tiles_.capacity() * sizeof(tiles_[0]) + savedBytes_;
}

void BaseTiles::restoreInto(const ImageView& image) const {
    if (image.width != width_ || image.height != height_) {
        return;
    }
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            const std::uint32_t* tile =
                tiles_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)].get();
            if (tile == nullptr) {
                continue;
            }
            const int w = tileWidth(column);
            const int h = tileHeight(row);
            std::uint32_t* to = image.pixels + std::ptrdiff_t(row) * kTile * image.stride + column * kTile;
            for (int y = 0; y < h; ++y) {
                std::copy(tile + std::ptrdiff_t(y) * w, tile + std::ptrdiff_t(y + 1) * w, to);
                to += image.stride;
            }
        }
    }
}

void BaseTiles::exchange(const ImageView& work) noexcept {
    if (work.width != width_ || work.height != height_) {
        return;
    }
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            std::uint32_t* tile =
                tiles_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)].get();
            if (tile == nullptr) {
                continue;
            }
            const int w = tileWidth(column);
            std::uint32_t* at = work.pixels + std::ptrdiff_t(row) * kTile * work.stride + column * kTile;
            for (int y = 0; y < tileHeight(row); ++y) {
                std::swap_ranges(tile + std::ptrdiff_t(y) * w, tile + std::ptrdiff_t(y + 1) * w, at);
                at += work.stride;
            }
        }
    }
}

PaintedPixels BaseTiles::painted(const ConstImageView& work, bool withPixels) const {
    PaintedPixels painted = withPixels ? PaintedPixels() : PaintedPixels::WhereOnly();
    if (work.width != width_ || work.height != height_ || saved_ == 0) {
        return painted;
    }
    for (int row = 0; row < rows_; ++row) {
        const std::size_t index = std::size_t(row) * std::size_t(columns_);
        for (int y = 0; y < tileHeight(row); ++y) {
            const int py = row * kTile + y;
            const std::uint32_t* line = work.pixels + std::ptrdiff_t(py) * work.stride;
            // Left to right across the row, so that runs crossing a tile's edge join up.
            for (int column = 0; column < columns_; ++column) {
                const std::uint32_t* tile = tiles_[index + std::size_t(column)].get();
                if (tile != nullptr) {
                    const int w = tileWidth(column);
                    painted.addDifferences(py, column * kTile, tile + std::ptrdiff_t(y) * w,
                                           line + column * kTile, w);
                }
            }
        }
    }
    painted.shrinkToFit();
    return painted;
}

}  // namespace korvane
