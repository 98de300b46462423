#include "cli/RenderCommand.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "storage/ProjectFile.h"
#include "storage/clsINI.h"
#include "tracing/TraceReplay.h"
#include "view/PictureFile.h"

namespace korvane::cli {

const char* const kRenderUsage =
    "usage: korvane-cli render PROJECT.kvp --picture 1|2 --out OUT.png\n"
    "\n"
    "Loads picture 1 or 2 of the project, replays that picture's traces in list order as\n"
    "\"Draw all traces NOW\" does, and writes the result in the format the output's extension names\n"
    "(.png or .bmp). Traces that cannot be replayed are reported on standard error and skipped.\n"
    "The project and its pictures are never changed.\n";

namespace {

namespace fs = std::filesystem;

class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string project;
    int picture = 0;
    std::string out;
    bool help = false;
};

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        auto valueOf = [&](const char* name) {
            if (i + 1 >= args.size()) {
                throw Failure(std::string(name) + " needs a value");
            }
            return args[++i];
        };
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--picture") {
            const std::string value = valueOf("--picture");
            if (value != "1" && value != "2") {
                throw Failure("--picture must be 1 or 2, not \"" + value + "\"");
            }
            options.picture = value == "1" ? 1 : 2;
        } else if (word == "--out") {
            options.out = valueOf("--out");
        } else if (!word.empty() && word.front() == '-') {
            throw Failure("unknown option \"" + word + "\"");
        } else if (options.project.empty()) {
            options.project = word;
        } else {
            throw Failure("unexpected argument \"" + word + "\"");
        }
    }
    if (options.help) {
        return options;
    }
    if (options.project.empty()) {
        throw Failure("no project file given");
    }
    if (options.picture == 0) {
        throw Failure("--picture 1 or --picture 2 is required");
    }
    if (options.out.empty()) {
        throw Failure("--out is required");
    }
    return options;
}

QString qPath(const std::string& path) {
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return fs::exists(a, ignored) && fs::exists(b, ignored) && fs::equivalent(a, b, ignored);
}

// The picture as the window holds it: decoded from its content, in the pixel format whose words are the
// packed colours.
QImage loadWorkingImage(const std::string& path) {
    QString reason;
    QImage image = ReadBoardPicture(qPath(path), &reason);
    if (image.isNull()) {
        throw Failure("cannot read the picture " + path + ": " + reason.toStdString());
    }
    return image;
}

int render(const Options& options, std::ostream& err) {
    std::error_code error;
    const std::string project = fs::absolute(options.project, error).string();
    if (error || !fs::is_regular_file(project, error)) {
        throw Failure("project file not found: " + options.project);
    }
    clsINI doc;
    try {
        doc.SetFileName(project);
    } catch (const IniReadError&) {
        throw Failure("cannot read the project file " + project);
    }

    const auto [firstEntry, secondEntry] = PictureEntries(doc);
    const std::string& entry = options.picture == 1 ? firstEntry : secondEntry;
    const std::string picturePath = ResolvePicturePath(entry, project);
    if (picturePath.empty() || !fs::is_regular_file(picturePath, error)) {
        throw Failure("picture " + std::to_string(options.picture) +
                      " of the project not found: " + (entry.empty() ? std::string("(no entry)") : entry));
    }

    const std::string out = fs::absolute(options.out, error).string();
    if (sameFile(out, project) || sameFile(out, picturePath)) {
        throw Failure("the output would replace an input file: " + options.out);
    }
    const QByteArray format = QFileInfo(qPath(out)).suffix().toLower().toLatin1();
    if (format != "png" && format != "bmp") {
        throw Failure("the output must end in .png or .bmp: " + options.out);
    }

    QImage image = loadWorkingImage(picturePath);
    ImageView view;
    view.pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    view.width = image.width();
    view.height = image.height();
    view.stride = int(image.bytesPerLine() / 4);

    // The traces in the order "Draw all traces NOW" replays them: list 1, then list 2, each record on
    // the picture it names. The document is only read; nothing goes back to the file.
    const TraceLists lists = TakeTraces(doc);
    FillControl quiet;
    for (const auto* list : {&lists.first, &lists.second}) {
        for (const std::string& record : *list) {
            const std::optional<TraceRecord> parsed = ParseTraceRecord(record);
            if (!parsed) {
                err << "korvane-cli: trace \"" << record
                    << "\" skipped: " << DescribeReplayOutcome(ReplayOutcome::Malformed) << "\n";
                continue;
            }
            if (parsed->picture != options.picture) {
                continue;
            }
            const ReplayOutcome outcome = ReplayRecord(*parsed, ReplayMode::Draw, view, quiet);
            if (outcome != ReplayOutcome::Painted) {
                err << "korvane-cli: trace \"" << record << "\" skipped: " << DescribeReplayOutcome(outcome)
                    << "\n";
            }
        }
    }

    QImageWriter writer(qPath(out), format);
    if (!writer.write(image)) {
        throw Failure("cannot write " + options.out + ": " + writer.errorString().toStdString());
    }
    return 0;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const Options options = parseOptions(args);
        if (options.help) {
            out << kRenderUsage;
            return 0;
        }
        return render(options, err);
    } catch (const Failure& failure) {
        err << "korvane-cli render: " << failure.what() << "\n";
        return 1;
    } catch (const std::exception& failure) {
        err << "korvane-cli render: " << failure.what() << "\n";
        return 1;
    }
}

}  // namespace korvane::cli
