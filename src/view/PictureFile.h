#pragma once

// Reading a board scan the way the program holds it, shared by the window and korvane-cli so that the
// tool renders exactly the pictures the window opens. Needs Qt's GUI module only, no widgets.

#include <QImage>
#include <QString>

namespace korvane {

// Largest picture accepted, per side and in all: the scroll range is 16 bits, and two layers with their
// working copies must still fit in memory.
constexpr int kMaxPictureSide = 32767;
constexpr qint64 kMaxPicturePixels = 400LL * 1000 * 1000;

// The picture decoded from its content (whatever its extension says) in the pixel format whose words
// are the packed colours. A picture whose header promises more than the limits is refused before
// decoding. On failure: a null image and, when error is given, the reason.
QImage ReadBoardPicture(const QString& path, QString* error);

}  // namespace korvane
