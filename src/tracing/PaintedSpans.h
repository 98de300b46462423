#pragma once

// What a fill painted over, so that it can be taken back exactly (undo, the fill question's "Delete"
// answer) and painted again without running the fill anew (redo).
//
// The fill paints whole row spans, so the log is kept per span: a header {row, first column} and the
// colours the span held just before it was painted, run-length coded. A run is one 32-bit word: the
// 24-bit colour and the run's length less one in the next 7 bits (1..128 pixels). A span's runs are
// stored from its right end to its left, the right-most one marked in the top bit, so that a restore,
// which goes from the newest span back, reads the log once backwards and paints each span from its first
// column. A span costs 8 bytes and at most 4 bytes per pixel (a scan whose every pixel differs from its
// neighbour); a flat copper area costs about 4 bytes per 128 pixels.
//
// A pixel is logged at most once per fill. Which pixels the row scans pass never changes while a fill
// runs (a passing pixel only ever becomes the fill colour, which passes too), so a span the fill finds
// again is one it painted whole before and holds nothing but the fill colour: such a span is left out.
//
// Only the 24 colour bits are logged. The fill keeps each pixel's high byte and replaces the colour
// beneath it, so restoring the colour under the high byte the pixel still carries gives back the exact
// word the scan held.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "platform/Ui.h"

namespace korvane {

class PaintedSpans {
  public:
    // Logs a span of `length` pixels (at least one) of row y from column x0, `first` pointing at the
    // pixel (x0, y), before the fill paints it with the 24-bit colour `fill`. A span that holds nothing
    // but that colour changes nothing when painted and is not logged.
    void record(const std::uint32_t* first, int y, int x0, int length, std::uint32_t fill);

    // Writes the logged colours back, the newest span first, so that a pixel painted by several fills of
    // one history (traces drawn in one colour that touch) ends with the colour it had before the first of
    // them. False, and nothing written, when the picture cannot hold what was logged (it is not the
    // picture the fill painted).
    bool restore(ImageView& picture) const;
    // Paints the logged spans with `fill` again, exactly as the fill wrote them; same refusal.
    bool repaint(ImageView& picture, std::int32_t fill) const;

    // A point in the log to go back to: everything logged after it can be restored and forgotten.
    struct Mark {
        std::size_t spans = 0;
        std::size_t runs = 0;
        std::int64_t pixels = 0;
        PixelRect bounds;
    };
    Mark mark() const { return Mark{spans_.size(), runs_.size(), pixels_, bounds_}; }
    // Restores what was logged after `mark` and forgets it; false, and nothing changes, as for restore.
    bool rollBack(ImageView& picture, const Mark& mark);

    // Gives back the room kept for further spans. Growth is geometric, so a log can hold up to twice the
    // memory it needs; call this once nothing more will be logged (not between the fills of one batch,
    // which would make each of them copy the log so far).
    void shrinkToFit();
    void clear();

    // Memory held for the log, room for further spans included.
    std::size_t bytes() const { return spans_.bytes() + runs_.bytes(); }
    // Pixels of the logged spans.
    std::int64_t pixelCount() const { return pixels_; }
    std::size_t spanCount() const { return spans_.size(); }
    bool empty() const { return spans_.size() == 0; }
    // The pixels the logged spans cover, so that a view repaints only those.
    PixelRect bounds() const { return bounds_; }
    // Calls visit(y, x0, length) for every logged span, oldest first: where the fills painted.
    template <class Visit>
    void forEachSpan(Visit&& visit) const {
        std::size_t r = 0;
        for (std::size_t s = 0; s < spans_.size(); ++s) {
            // A span's runs follow the previous span's, the right-most first and marked in the top bit;
            // each holds its length less one in the 7 bits above the colour.
            int length = 0;
            do {
                length += int((runs_[r] >> 24) & 0x7Fu) + 1;
                ++r;
            } while (r < runs_.size() && (runs_[r] & 0x80000000u) == 0);
            visit(int(spans_[s].y), int(spans_[s].x0), length);
        }
    }

  private:
    struct SpanHeader {
        std::int32_t y;
        std::int32_t x0;
    };

    // A growable array of plain words kept with realloc, which can grow or trim a large block in place.
    template <class T>
    class Buffer {
        static_assert(std::is_trivially_copyable_v<T>);

      public:
        Buffer() = default;
        Buffer(const Buffer&) = delete;
        Buffer& operator=(const Buffer&) = delete;
        Buffer(Buffer&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
            other.data_ = nullptr;
            other.size_ = other.capacity_ = 0;
        }
        Buffer& operator=(Buffer&& other) noexcept {
            if (this != &other) {
                std::free(data_);
                data_ = other.data_;
                size_ = other.size_;
                capacity_ = other.capacity_;
                other.data_ = nullptr;
                other.size_ = other.capacity_ = 0;
            }
            return *this;
        }
        ~Buffer() { std::free(data_); }

        T* data() { return data_; }
        const T* data() const { return data_; }
        std::size_t size() const { return size_; }
        std::size_t bytes() const { return capacity_ * sizeof(T); }
        const T& operator[](std::size_t i) const { return data_[i]; }

        // Room for `more` items after the present ones, growing to at least twice the capacity.
        T* reserveMore(std::size_t more) {
            if (size_ + more > capacity_) {
                std::size_t wanted = capacity_ < 64 ? 64 : 2 * capacity_;
                if (wanted < size_ + more) {
                    wanted = size_ + more;
                }
                resizeBlock(wanted);
            }
            return data_ + size_;
        }
        void setSize(std::size_t size) { size_ = size; }
        void shrinkToFit() {
            if (size_ == 0) {
                std::free(data_);
                data_ = nullptr;
                capacity_ = 0;
            } else if (size_ < capacity_) {
                resizeBlock(size_);
            }
        }

      private:
        void resizeBlock(std::size_t capacity) {
            void* block = std::realloc(data_, capacity * sizeof(T));
            if (block == nullptr) {
                throw std::bad_alloc();
            }
            data_ = static_cast<T*>(block);
            capacity_ = capacity;
        }

        T* data_ = nullptr;
        std::size_t size_ = 0;
        std::size_t capacity_ = 0;
    };

    static constexpr std::size_t kSpansAhead = 4;
    static void fetchAhead(ImageView& picture, const SpanHeader& span);
    bool holds(const ImageView& picture) const;
    // Writes the spans from `firstSpan` on, newest first: their logged colours, or else `fill`.
    template <bool Restore>
    void replay(ImageView& picture, std::size_t firstSpan, std::uint32_t fill) const;

    Buffer<SpanHeader> spans_;
    Buffer<std::uint32_t> runs_;
    std::int64_t pixels_ = 0;
    PixelRect bounds_;
};

}  // namespace korvane
