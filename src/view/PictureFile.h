#pragma once

// Reading a board scan the way the program holds it, shared by the window and korvane-cli so that the
// tool renders exactly the pictures the window opens. Needs Qt's GUI module only, no widgets.

#include <QImage>
#include <QString>

namespace korvane {

// Largest picture accepted, per side and in all: two layers with their working copies must still fit in
// memory, and a side shown at the highest zoom must stay within what a widget can be (16777215).
constexpr int kMaxPictureSide = 500000;
constexpr qint64 kMaxPicturePixels = 400LL * 1000 * 1000;

// The picture decoded from its content (whatever its extension says) in the pixel format whose words
// are the packed colours. A picture whose header promises more than the limits is refused before
// decoding. On failure: a null image and, when error is given, the reason.
QImage ReadBoardPicture(const QString& path, QString* error);

}  // namespace korvane
