#pragma once

// korvane-cli render: a project's picture with that picture's traces replayed, saved as an image file.

#include <QImage>
#include <array>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace korvane {
class IniDocument;
class PaintedSpans;
struct TraceLists;
}  // namespace korvane

namespace korvane::cli {

// args are the words after "render". Returns the process exit code; failures are one line on err,
// traces that cannot be replayed one line each on err without failing the command.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kRenderUsage;

// What render and check share: the pictures as the window shows them after opening, with their traces.

// The full path of the project's picture 1 or 2; a Failure when the project names none or it is missing.
std::string ProjectPicturePath(const IniDocument& doc, const std::string& project, int picture);
// The picture at path decoded, then turned and mirrored as the project stores picture 1 or 2; a Failure
// when it cannot be read or turned.
QImage LoadOrientedPicture(const IniDocument& doc, const std::string& path, int picture);
// The image's packed-colour words; the image must be in the board picture format.
ImageView PixelsOf(QImage& image);
// Replays the traces as "Draw all traces NOW" does: list 1, then list 2, each record on the picture it
// names, where views holds that picture (index 0: picture 1). With a history for a picture, what each fill
// painted there is logged into it. Records that cannot be replayed are reported on err, one line each.
void ReplayTraces(const TraceLists& lists, const std::array<ImageView*, 2>& views,
                  const std::array<PaintedSpans*, 2>& histories, std::ostream& err);

}  // namespace korvane::cli
