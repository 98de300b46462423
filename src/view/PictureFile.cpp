#include "view/PictureFile.h"

#include <QImageReader>

namespace korvane {

QImage ReadBoardPicture(const QString& path, QString* error) {
    // Board scans are large: a 10000 x 10000 picture needs far more than Qt's default 128 MB. Raised
    // once, before any reading: the two pictures of a project are read on two threads at a time.
    static const bool limitRaised = [] {
        if (QImageReader::allocationLimit() < 2048) {
            QImageReader::setAllocationLimit(2048);
        }
        return true;
    }();
    (void)limitRaised;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    QString reason;
    QImage image;
    if (!reader.canRead() || !size.isValid()) {
        reason = reader.errorString();
    } else if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
               qint64(size.width()) * size.height() > kMaxPicturePixels) {
        reason =
            QStringLiteral("picture of %1 x %2 pixels is too large").arg(size.width()).arg(size.height());
    } else {
        image = reader.read();
        if (image.isNull()) {
            reason = reader.errorString();
        } else {
            image.convertTo(QImage::Format_RGBX8888);  // in place where the depth is the same
        }
    }
    if (image.isNull() && error != nullptr) {
        *error = reason;
    }
    return image;
}

}  // namespace korvane
