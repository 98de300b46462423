#pragma once

// A picture's base (as loaded or last flipped or turned) beside the working image that traces are painted
// into, kept copy on write. The working image tells the keeper of each row span before painting it (it is
// the view's PaintGuard), and the first write into a tile saves the tile's pixels as they still are; where
// no tile is saved the working image is the base. A picture with no traces costs nothing beyond its
// working image, one with traces about the area of the tiles they cross, where a whole second copy would
// double every picture.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Ui.h"
#include "transforms/PaintedPixels.h"
#include "transforms/PixelTransforms.h"

namespace korvane {

class BaseTiles final : public PaintGuard {
  public:
    // Tiles of 64 x 64 pixels: 16 KB each, small beside a trace's reach, large enough that a picture
    // of 400 megapixels needs only 100,000 of them.
    static constexpr int kTile = 64;

    // Starts again for a working image of this size that is the base everywhere.
    void reset(int width, int height);
    // Saves the tiles that row y from x0 crosses, for `length` pixels, while `work` still holds them.
    // A span outside the picture or a picture of another size saves nothing.
    void beforeWrite(const ImageView& work, int y, int x0, int length) override;
    // Saves every tile not saved yet: for a writer that cannot say where it writes.
    void saveAll(const ConstImageView& work);

    bool empty() const { return saved_ == 0; }
    std::size_t savedTiles() const { return saved_; }
    // Memory held for the saved tiles and their index.
    std::size_t bytes() const;

    // Writes the saved tiles into `image`, a copy of the working image, which then holds the base.
    void restoreInto(const ImageView& image) const;
    // Exchanges the saved tiles with the working image's pixels under them, in place: `work` then holds
    // the base and the tiles the painting, until a second exchange puts both back. A transform starts
    // from the base this way without a copy of the picture; nothing is allocated, nothing can fail.
    void exchange(const ImageView& work) noexcept;
    // Where `work` differs from the base: the same runs as PaintedPixels::Between(base, work), found
    // in the saved tiles only.
    // With withPixels false only where it differs (PaintedPixels::WhereOnly).
    PaintedPixels painted(const ConstImageView& work, bool withPixels = true) const;

  private:
    int tileWidth(int column) const;
    int tileHeight(int row) const;
    void save(const ConstImageView& work, int column, int row);

    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::unique_ptr<std::uint32_t[]>> tiles_;  // row by row; null where not saved
    std::size_t saved_ = 0;
    std::size_t savedBytes_ = 0;
};

}  // namespace korvane
