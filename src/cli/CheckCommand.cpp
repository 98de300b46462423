#include "cli/CheckCommand.h"

#include <QImage>
#include <filesystem>
#include <ostream>

#include "cli/CommandLine.h"
#include "cli/RenderCommand.h"
#include "nets/ConnectivityCheck.h"
#include "nets/CopperRuns.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "storage/ProjectKeys.h"
#include "tracing/PaintedSpans.h"

namespace korvane::cli {

const char* const kCheckUsage =
    "usage: korvane-cli check PROJECT.kvp\n"
    "\n"
    "Loads both pictures of the project, turned and mirrored as the project stores them, replays every\n"
    "trace in list order as \"Draw all traces NOW\" does, and checks the pad names against the copper the\n"
    "traces painted. Prints one JSON object: \"shorts\" (groups of connected pads that carry two or more\n"
    "nets), \"opens\" (nets whose traced pads lie in two or more groups), \"suggestions\" (unnamed pads\n"
    "connected to exactly one net) and \"untraced\" (named pads that touch no traced copper).\n"
    "Exit code 0 when there are no shorts and no opens, 3 when there are, 1 when the project cannot be\n"
    "read. Traces that cannot be replayed are reported on standard error and skipped.\n"
    "The project and its pictures are never changed.\n";

namespace {

namespace fs = std::filesystem;

int check(const std::string& path, std::ostream& out, std::ostream& err) {
    const std::string project = fs::absolute(path).string();
    Project opened;
    ReadProject(opened.doc, project);
    // The project as opening reads it, in memory only: pads placed and named, traces in their lists.
    ReadProjectModel(opened);

    std::array<QImage, 2> images;
    std::array<ImageView, 2> views;
    for (int picture : {1, 2}) {
        const std::string picturePath = ProjectPicturePath(opened.doc, project, picture);
        images[std::size_t(picture - 1)] = LoadOrientedPicture(opened.doc, picturePath, picture);
        views[std::size_t(picture - 1)] = PixelsOf(images[std::size_t(picture - 1)]);
    }
    TraceLists lists;
    lists.first = opened.traces1.lines();
    lists.second = opened.traces2.lines();
    // The fills' logs tell where they painted, which is the copper, whatever colours they painted.
    std::array<PaintedSpans, 2> painted;
    ReplayTraces(lists, {&views[0], &views[1]}, {&painted[0], &painted[1]}, err);
    images = {};

    const CheckReport report =
        CheckConnectivity(opened.pads, CopperRuns::FromSpans(painted[0]), CopperRuns::FromSpans(painted[1]));
    out << CheckReportJson(report) << "\n";
    return report.passed() ? 0 : kCheckFoundFaults;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReporting("check", err, [&] {
        const Arguments parsed = ParseArguments(args, {});
        if (parsed.help) {
            out << kCheckUsage;
            return 0;
        }
        return check(parsed.project, out, err);
    });
}

}  // namespace korvane::cli
