#include "cli/RenderCommand.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <array>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/CommandLine.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "tracing/PaintedSpans.h"
#include "tracing/TraceReplay.h"
#include "transforms/OrientedImage.h"
#include "view/PictureFile.h"

namespace korvane::cli {

const char* const kRenderUsage =
    "usage: korvane-cli render PROJECT.kvp --picture 1|2 --out OUT.png\n"
    "\n"
    "Loads picture 1 or 2 of the project, turns and mirrors it as the project stores it, replays that\n"
    "picture's traces in list order as \"Draw all traces NOW\" does, and writes the result in the format\n"
    "the output's extension names\n"
    "(.png or .bmp). Traces that cannot be replayed are reported on standard error and skipped.\n"
    "The project and its pictures are never changed.\n";

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string project;
    int picture = 0;
    std::string out;
};

Options parseOptions(const Arguments& args) {
    Options options;
    options.project = args.project;
    const std::string picture = args.value("--picture");
    if (picture.empty()) {
        throw Failure("--picture 1 or --picture 2 is required");
    }
    if (picture != "1" && picture != "2") {
        throw Failure("--picture must be 1 or 2, not \"" + picture + "\"");
    }
    options.picture = picture == "1" ? 1 : 2;
    options.out = args.value("--out");
    if (options.out.empty()) {
        throw Failure("--out is required");
    }
    return options;
}

QString qPath(const std::string& path) {
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

int render(const Options& options, std::ostream& err) {
    const std::string project = fs::absolute(options.project).string();
    IniDocument doc;
    ReadProject(doc, project);

    const std::string picturePath = ProjectPicturePath(doc, project, options.picture);
    std::error_code error;
    const std::string out = fs::absolute(options.out, error).string();
    if (SameFile(out, project) || SameFile(out, picturePath)) {
        throw Failure("the output would replace an input file: " + options.out);
    }
    const QByteArray format = QFileInfo(qPath(out)).suffix().toLower().toLatin1();
    if (format != "png" && format != "bmp") {
        throw Failure("the output must end in .png or .bmp: " + options.out);
    }

    QImage image = LoadOrientedPicture(doc, picturePath, options.picture);
    ImageView view = PixelsOf(image);
    // The document is only read; nothing goes back to the file.
    std::array<ImageView*, 2> views = {nullptr, nullptr};
    views[std::size_t(options.picture - 1)] = &view;
    ReplayTraces(TakeTraces(doc), views, {nullptr, nullptr}, err);

    QImageWriter writer(qPath(out), format);
    if (!writer.write(image)) {
        throw Failure("cannot write " + options.out + ": " + writer.errorString().toStdString());
    }
    return 0;
}

}  // namespace

std::string ProjectPicturePath(const IniDocument& doc, const std::string& project, int picture) {
    const auto [firstEntry, secondEntry] = PictureEntries(doc);
    const std::string& entry = picture == 1 ? firstEntry : secondEntry;
    const std::string path = ResolvePicturePath(entry, project);
    std::error_code error;
    if (path.empty() || !fs::is_regular_file(path, error)) {
        throw Failure("picture " + std::to_string(picture) +
                      " of the project not found: " + (entry.empty() ? std::string("(no entry)") : entry));
    }
    return path;
}

QImage LoadOrientedPicture(const IniDocument& doc, const std::string& path, int picture) {
    // Decoded from its content, in the pixel format whose words are the packed colours.
    QString reason;
    QImage image = ReadBoardPicture(qPath(path), &reason);
    if (image.isNull()) {
        throw Failure("cannot read the picture " + path + ": " + reason.toStdString());
    }
    // The traces were recorded on the picture as the window shows it: turned and mirrored as stored.
    const std::string storedOrientation = doc.Value(kFilePathSection, OrientationKey(picture));
    const Orientation orientation = ParseOrientation(storedOrientation);
    if (!orientation.identity()) {
        image = OrientedImage(image, orientation);
        if (image.isNull()) {
            throw Failure("not enough memory to turn the picture as the project stores it (" +
                          storedOrientation + ")");
        }
    }
    return image;
}

ImageView PixelsOf(QImage& image) {
    ImageView view;
    view.pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    view.width = image.width();
    view.height = image.height();
    view.stride = int(image.bytesPerLine() / 4);
    return view;
}

void ReplayTraces(const TraceLists& lists, const std::array<ImageView*, 2>& views,
                  const std::array<PaintedSpans*, 2>& histories, std::ostream& err) {
    // The order "Draw all traces NOW" replays them: list 1, then list 2, each record on the picture it
    // names.
    std::array<FillControl, 2> controls;
    for (std::size_t i = 0; i < 2; ++i) {
        controls[i].history = histories[i];
    }
    for (const auto* list : {&lists.first, &lists.second}) {
        for (const std::string& record : *list) {
            const std::optional<TraceRecord> parsed = ParseTraceRecord(record);
            if (!parsed) {
                err << "korvane-cli: trace \"" << record
                    << "\" skipped: " << DescribeReplayOutcome(ReplayOutcome::Malformed) << "\n";
                continue;
            }
            ImageView* view = views[std::size_t(parsed->picture - 1)];
            if (view == nullptr) {
                continue;
            }
            const ReplayOutcome outcome =
                ReplayRecord(*parsed, ReplayMode::Draw, *view, controls[std::size_t(parsed->picture - 1)]);
            if (outcome != ReplayOutcome::Painted) {
                err << "korvane-cli: trace \"" << record << "\" skipped: " << DescribeReplayOutcome(outcome)
                    << "\n";
            }
        }
    }
}

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReporting("render", err, [&] {
        const Arguments parsed = ParseArguments(args, {"--picture", "--out"});
        if (parsed.help) {
            out << kRenderUsage;
            return 0;
        }
        return render(parseOptions(parsed), err);
    });
}

}  // namespace korvane::cli
