#include "project/TraceCommands.h"

#include <algorithm>

#include "project/Project.h"

namespace korvane {

namespace {

void registerDrawing(Project& project, const TracePainting& painting) {
    project.drawnTraces[{painting.layer, painting.record}] =
        Project::DrawnTrace{painting.spans, painting.fill};
}

void forgetDrawing(Project& project, const TracePainting& painting) {
    project.drawnTraces.erase({painting.layer, painting.record});
}

void paintedOver(Project& project, const TracePainting& painting) {
    const PixelRect area = painting.spans->bounds();
    if (!area.empty()) {
        const int layer = painting.layer;
        project.notify([layer, area](ProjectObserver& o) { o.pixelsChanged(layer, area); });
    }
}

void restore(Project& project, const TracePainting& painting) {
    ImageView view = project.pixels(painting.layer);
    painting.spans->restore(view);
    paintedOver(project, painting);
}

void repaint(Project& project, const TracePainting& painting) {
    ImageView view = project.pixels(painting.layer);
    painting.spans->repaint(view, painting.fill);
    paintedOver(project, painting);
}

void tracesChanged(Project& project, int layer) {
    project.notify([layer](ProjectObserver& o) { o.tracesChanged(layer); });
}

}  // namespace

void FillCommand::keep(Project& project) {
    project.traces(painting_.layer).push_back(painting_.record);
    registerDrawing(project, painting_);
    tracesChanged(project, painting_.layer);
}

void FillCommand::redo(Project& project) {
    repaint(project, painting_);
    keep(project);
}

void FillCommand::undo(Project& project) {
    TraceList& list = project.traces(painting_.layer);
    if (!list.empty()) {
        list.removeAt({list.size() - 1});  // the steps after this one are undone: its record is the last
    }
    forgetDrawing(project, painting_);
    restore(project, painting_);
    tracesChanged(project, painting_.layer);
}

void DrawTracesCommand::keep(Project& project) {
    for (const TracePainting& painting : drawn_) {
        registerDrawing(project, painting);
    }
}

void DrawTracesCommand::redo(Project& project) {
    for (const TracePainting& painting : drawn_) {
        repaint(project, painting);
    }
    keep(project);
}

void DrawTracesCommand::undo(Project& project) {
    for (auto it = drawn_.rbegin(); it != drawn_.rend(); ++it) {
        forgetDrawing(project, *it);
        restore(project, *it);
    }
}

std::size_t DrawTracesCommand::pixelBytes() const {
    std::size_t bytes = 0;
    for (const TracePainting& painting : drawn_) {
        bytes += painting.spans->bytes();
    }
    return bytes;
}

std::string EraseTracesCommand::text() const {
    return erased_.size() == 1 ? "erase trace" : "erase " + std::to_string(erased_.size()) + " traces";
}

void EraseTracesCommand::keep(Project& project) {
    for (int layer : {1, 2}) {
        std::vector<std::size_t> rows;
        for (const Erased& e : erased_) {
            if (e.painting.layer == layer) {
                rows.push_back(e.index);
                if (e.restoresScan) {
                    forgetDrawing(project, e.painting);
                }
            }
        }
        if (!rows.empty()) {
            project.traces(layer).removeAt(rows);
            tracesChanged(project, layer);
        }
    }
}

void EraseTracesCommand::redo(Project& project) {
    for (const Erased& e : erased_) {
        if (e.restoresScan) {
            restore(project, e.painting);
        } else {
            repaint(project, e.painting);
        }
    }
    keep(project);
}

void EraseTracesCommand::undo(Project& project) {
    for (auto it = erased_.rbegin(); it != erased_.rend(); ++it) {
        if (it->restoresScan) {
            repaint(project, it->painting);
            registerDrawing(project, it->painting);
        } else {
            restore(project, it->painting);
        }
    }
    for (int layer : {1, 2}) {
        std::vector<std::string> lines = project.traces(layer).lines();
        std::vector<const Erased*> back;
        for (const Erased& e : erased_) {
            if (e.painting.layer == layer) {
                back.push_back(&e);
            }
        }
        if (back.empty()) {
            continue;
        }
        std::sort(back.begin(), back.end(),
                  [](const Erased* a, const Erased* b) { return a->index < b->index; });
        for (const Erased* e : back) {
            lines.insert(lines.begin() + std::ptrdiff_t(std::min(e->index, lines.size())),
                         e->painting.record);
        }
        project.traces(layer) = std::move(lines);
        tracesChanged(project, layer);
    }
}

std::size_t EraseTracesCommand::pixelBytes() const {
    std::size_t bytes = 0;
    for (const Erased& e : erased_) {
        bytes += e.painting.spans->bytes();
    }
    return bytes;
}

bool EraseDrawnTrace(Project& project, int layer, const std::string& record, TracePainting& erased) {
    const auto it = project.drawnTraces.find({layer, record});
    if (it == project.drawnTraces.end()) {
        return false;
    }
    std::shared_ptr<const PaintedSpans> spans = it->second.spans.lock();
    if (!spans) {
        project.drawnTraces.erase(it);
        return false;
    }
    erased = TracePainting{layer, record, spans, it->second.fill};
    restore(project, erased);
    return true;
}

}  // namespace korvane
