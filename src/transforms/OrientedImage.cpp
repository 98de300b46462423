#include "transforms/OrientedImage.h"

namespace korvane {

namespace transforms_testing {
bool failNextAllocation = false;
}  // namespace transforms_testing

namespace {

// A picture of the working image's format, or a null image when it cannot be had.
QImage allocate(int width, int height) {
    if (transforms_testing::failNextAllocation) {
        transforms_testing::failNextAllocation = false;
        return {};
    }
    return QImage(width, height, QImage::Format_RGBX8888);
}

}  // namespace

QImage OrientedImage(const QImage& source, Orientation orientation, const std::function<void()>& progress) {
    if (source.isNull()) {
        return {};
    }
    // Every picture the program holds is in this format already; anything else is converted first, which
    // costs one more picture and is checked like the others.
    QImage converted;
    const QImage* from = &source;
    if (source.format() != QImage::Format_RGBX8888) {
        converted = source.convertToFormat(QImage::Format_RGBX8888);
        if (converted.isNull()) {
            return {};
        }
        from = &converted;
    }
    const bool sideways = orientation.turns % 2 == 1;
    QImage result =
        sideways ? allocate(from->height(), from->width()) : allocate(from->width(), from->height());
    if (result.isNull()) {
        return {};
    }
    // constBits(): the non-const bits() of an image shared with the window would copy it first.
    const ConstImageView src(reinterpret_cast<const std::uint32_t*>(from->constBits()), from->width(),
                             from->height(), int(from->bytesPerLine() / 4));
    // result is not shared with anyone, so its writable pixels are its own and nothing is copied.
    const ImageView dst{reinterpret_cast<std::uint32_t*>(result.bits()), result.width(), result.height(),
                        int(result.bytesPerLine() / 4)};
    OrientPixels(src, dst, orientation, progress);
    return result;
}

}  // namespace korvane
