#include "app/PictureTransformCommand.h"

#include <QImage>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "app/MainWindow.h"
#include "project/Project.h"
#include "storage/ProjectKeys.h"
#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

PictureBox* pictureOf(MainWindow& window, int picture) {
    return picture == 1 ? window.panes()->P1() : window.panes()->P2();
}

// The records with their seeds where a picture of that size brought by `step` puts their pixels. A record
// that cannot be read stays as it is: nothing would replay it anyway.
std::vector<std::string> orientRecords(const std::vector<std::string>& records, QSize size,
                                       Orientation step) {
    std::vector<std::string> oriented;
    oriented.reserve(records.size());
    for (const std::string& line : records) {
        std::optional<TraceRecord> record = ParseTraceRecord(line);
        if (!record || record->x >= size.width() || record->y >= size.height()) {
            oriented.push_back(line);
            continue;
        }
        const OrientedPoint seed = OrientPoint(record->x, record->y, size.width(), size.height(), step);
        record->x = seed.x;
        record->y = seed.y;
        oriented.push_back(FormatTraceRecord(*record));
    }
    return oriented;
}

void setRecords(Project& project, int layer, const std::vector<std::string>& records) {
    TraceList& list = project.traces(layer);
    if (list.lines() == records) {
        return;
    }
    list = records;
    project.notify([layer](ProjectObserver& o) { o.tracesChanged(layer); });
}

}  // namespace

PictureTransformCommand::PictureTransformCommand(MainWindow& window, int picture, Orientation step,
                                                 std::string text, const char* errorTitle)
    : window_(&window), picture_(picture), step_(step), text_(std::move(text)), errorTitle_(errorTitle) {}

bool PictureTransformCommand::carryOut(Project& project) {
    const std::string key = OrientationKey(picture_);
    if (project.doc.ValueExists(kFilePathSection, key)) {
        keyBefore_ = project.doc.Value(kFilePathSection, key);
    }
    const PictureBox* box = pictureOf(*window_, picture_);
    recordsBefore_ = project.traces(picture_).lines();
    recordsAfter_ = orientRecords(recordsBefore_, box->workImage().size(), step_);
    // Taken inside the checked transform, so that running out of memory here is told like any other.
    const bool done = window_->pictures().transformPicture(picture_, step_, errorTitle_,
                                                           [this, box] { painted_ = box->paintedPixels(); });
    if (!done) {
        painted_ = PaintedPixels();
        return false;
    }
    applied_ = true;
    project.doc.SetValue(kFilePathSection, key, FormatOrientation(project.layer(picture_).orientation));
    const int layer = picture_;
    // What drawing traces painted over lies elsewhere on a turned picture: erasing must not use it.
    project.forgetDrawnTraces(layer);
    project.notify([layer](ProjectObserver& o) { o.orientationChanged(layer); });
    followTraces(project);
    pixelBytes_ = painted_.bytes();
    for (const auto& spans : redrawn_) {
        pixelBytes_ += spans->bytes();
    }
    return true;
}

void PictureTransformCommand::apply(Project& project, bool forward) {
    if (applied_ == forward || window_.isNull()) {
        return;
    }
    if (!window_->pictures().transformPicture(picture_, forward ? step_ : Inverse(step_), errorTitle_)) {
        project.markUnsaved();
        return;
    }
    applied_ = forward;
    const std::string key = OrientationKey(picture_);
    if (forward) {
        project.doc.SetValue(kFilePathSection, key, FormatOrientation(project.layer(picture_).orientation));
    } else {
        // The document as it was, so that a save writes the same bytes as before the step.
        if (keyBefore_) {
            project.doc.SetValue(kFilePathSection, key, *keyBefore_);
        } else {
            project.doc.RemoveValue(kFilePathSection, key);
        }
        if (!painted_.empty()) {
            PictureBox* box = pictureOf(*window_, picture_);
            painted_.paintInto(box->guardedPixels());
            box->picturePainted(box->workImage().rect());
        }
    }
    const int layer = picture_;
    // What drawing traces painted over lies elsewhere on a turned picture: erasing must not use it.
    project.forgetDrawnTraces(layer);
    redrawn_.clear();
    project.notify([layer](ProjectObserver& o) { o.orientationChanged(layer); });
    if (forward) {
        followTraces(project);
    } else {
        setRecords(project, layer, recordsBefore_);
    }
    if (step_.turns % 2 == 1) {
        // A close asked for while the picture turned waits until this undo or redo has ended.
        QTimer::singleShot(0, window_.data(), [window = window_] {
            if (!window.isNull()) {
                window->pictures().closeIfHeldForRotation();
            }
        });
    }
}

void PictureTransformCommand::followTraces(Project& project) {
    const int layer = picture_;
    setRecords(project, layer, recordsAfter_);
    redrawn_.clear();
    if (painted_.empty()) {
        return;  // the traces were not shown: the transform does not show them either
    }
    PictureBox* box = pictureOf(*window_, picture_);
    ImageView view = box->guardedPixels();
    PixelRect area;
    for (const std::string& line : recordsAfter_) {
        const std::optional<TraceRecord> record = ParseTraceRecord(line);
        if (!record || record->picture != layer) {
            continue;
        }
        auto spans = std::make_shared<PaintedSpans>();
        FillControl control;
        control.history = spans.get();
        ReplayRecord(*record, ReplayMode::Draw, view, control);
        spans->shrinkToFit();
        if (spans->empty()) {
            continue;
        }
        const PixelRect painted = spans->bounds();
        area = area.empty() ? painted
                            : PixelRect{std::min(area.x0, painted.x0), std::min(area.y0, painted.y0),
                                        std::max(area.x1, painted.x1), std::max(area.y1, painted.y1)};
        project.drawnTraces[{layer, line}] = Project::DrawnTrace{spans, record->fillColor};
        redrawn_.push_back(std::move(spans));
    }
    if (!area.empty()) {
        project.notify([layer, area](ProjectObserver& o) { o.pixelsChanged(layer, area); });
    }
}

void PictureTransformCommand::undo(Project& project) {
    apply(project, false);
}

void PictureTransformCommand::redo(Project& project) {
    apply(project, true);
}

}  // namespace korvane
