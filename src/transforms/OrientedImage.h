#pragma once

// A picture brought into an orientation, as the window's Edit menu and project opening and korvane-cli
// render all need it. Qt's GUI module only, no widgets, so the command-line tool shares it.

#include <QImage>
#include <functional>

#include "transforms/PixelTransforms.h"

namespace korvane {

namespace transforms_testing {
// Makes the next picture allocation fail, as it does when a picture is too large for the memory left.
extern bool failNextAllocation;
}  // namespace transforms_testing

// source brought into `orientation` (see OrientPixels) as a new picture in the working image's pixel
// format; a null image when memory runs out. The source is only read, through its const pixels: a
// picture shared with the window is neither changed nor copied, so a transform needs exactly one new
// picture. progress is called between blocks of rows and may be empty.
QImage OrientedImage(const QImage& source, Orientation orientation,
                     const std::function<void()>& progress = {});

}  // namespace korvane
