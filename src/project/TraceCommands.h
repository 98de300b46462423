#pragma once

// Edits of the traces: a kept fill ("fill"), "Draw all traces NOW" ("draw all traces") and erasing
// traces ("erase 2 traces"). Each step holds the spans its painting covered and the pixels they held, so
// that undo gives back the scan exactly and redo paints exactly what was painted, without a new fill.
//
// Drawing a trace registers its spans with the project (Project::drawnTraces) for as long as some step
// holds them; erasing a registered trace then gives back the scan under it. A trace whose drawing is not
// known any more (dropped from the history, or turned away with its picture) is erased by painting its
// area with the seed's old colour, as records have always been erased, and that painting is logged too.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/UndoStack.h"
#include "tracing/PaintedSpans.h"

namespace korvane {

// One trace's painting: the layer, the record, the spans it covered, the colour it painted.
struct TracePainting {
    int layer = 1;
    std::string record;
    std::shared_ptr<const PaintedSpans> spans;
    std::int32_t fill = 0;
};

// A fill the user watched and kept: its pixels are on the picture already; keeping it adds its record.
class FillCommand : public UndoCommand {
  public:
    explicit FillCommand(TracePainting painting) : painting_(std::move(painting)) {}
    // Adds the record and registers the painting, as redo does, without painting again.
    void keep(Project& project);

    std::string text() const override { return "fill"; }
    void undo(Project& project) override;
    void redo(Project& project) override;
    std::size_t pixelBytes() const override { return painting_.spans->bytes(); }

  private:
    TracePainting painting_;
};

// Records drawn from their records, in list order. Only what is shown changes: the file stays the same.
class DrawTracesCommand : public UndoCommand {
  public:
    explicit DrawTracesCommand(std::vector<TracePainting> drawn) : drawn_(std::move(drawn)) {}
    // Registers the drawings already on the pictures.
    void keep(Project& project);

    std::string text() const override { return "draw all traces"; }
    void undo(Project& project) override;
    void redo(Project& project) override;
    std::size_t pixelBytes() const override;
    bool changesFile() const override { return false; }

  private:
    std::vector<TracePainting> drawn_;
};

// Records erased from their lists, the pixels they covered given back.
class EraseTracesCommand : public UndoCommand {
  public:
    struct Erased {
        TracePainting painting;
        // True: the painting's spans hold the scan under the trace (the trace's own drawing). False: they
        // log the erasing itself, which painted with `painting.fill` over what the trace showed.
        bool restoresScan = false;
        std::size_t index = 0;  // the record's place in its list before the step
    };
    explicit EraseTracesCommand(std::vector<Erased> erased) : erased_(std::move(erased)) {}
    // Takes the records out of their lists; their pixels were given back while they were erased.
    void keep(Project& project);

    std::string text() const override;
    void undo(Project& project) override;
    void redo(Project& project) override;
    std::size_t pixelBytes() const override;

  private:
    std::vector<Erased> erased_;
};

// Erases one trace's pixels: exactly, from its registered drawing, when the project still knows it;
// otherwise returns false and the caller erases it by painting, logging into a history of its own.
bool EraseDrawnTrace(Project& project, int layer, const std::string& record, TracePainting& erased);

}  // namespace korvane
