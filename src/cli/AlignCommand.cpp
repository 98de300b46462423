#include "cli/AlignCommand.h"

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

#include "align/Alignment.h"
#include "align/AutoAlign.h"
#include "cli/CommandLine.h"
#include "cli/RenderCommand.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "transforms/OrientedImage.h"
#include "view/PictureFile.h"

namespace korvane::cli {

const char* const kAlignUsage =
    "usage: korvane-cli align PROJECT.kvp [--auto] [--write]\n"
    "\n"
    "Fits the affine mapping from picture 1 to picture 2 to the point pairs stored in the project and\n"
    "prints it as JSON: \"matrix\" [a, b, c, d, e, f] (x2 = a x1 + b y1 + c, y2 = d x1 + e y1 + f), every\n"
    "pair with its residual in picture-2 pixels, and the \"rms\" of the residuals.\n"
    "  --auto   find the mapping from the drill holes of the two pictures (turned and mirrored as the\n"
    "           project stores them) instead; adds \"inliers\" and \"mirrored\"\n"
    "  --write  store the mapping and its pairs in the project, replacing the file atomically\n"
    "Without --write the project is never changed. Fails when no mapping can be fitted: fewer than two\n"
    "pairs, no drill holes found, too few of them matching.\n";

namespace {

namespace fs = std::filesystem;

// The picture as the window shows it: decoded, then turned and mirrored as the project stores it.
QImage loadPicture(const IniDocument& doc, const std::string& project, int picture) {
    return LoadOrientedPicture(doc, ProjectPicturePath(doc, project, picture), picture);
}

ConstImageView viewOf(const QImage& image) {
    return ConstImageView(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                          image.height(), int(image.bytesPerLine() / 4));
}

std::string number(double value) {
    return FormatExactNumber(value);
}

int align(const std::string& projectArgument, bool automatic, bool write, std::ostream& out) {
    const std::string project = fs::absolute(projectArgument).string();
    IniDocument doc;
    ReadProject(doc, project);

    Alignment alignment;
    std::optional<AutoAlignment> found;
    if (automatic) {
        const QImage first = loadPicture(doc, project, 1);
        const QImage second = loadPicture(doc, project, 2);
        std::string why;
        found = AutoAlign(viewOf(first), viewOf(second), nullptr, &why);
        if (!found) {
            throw Failure("no alignment found: " + why);
        }
        alignment = {found->map, found->pairs};
    } else {
        std::string why;
        const std::optional<Alignment> stored = ReadAlignment(doc, &why);
        if (!why.empty()) {
            throw Failure(why);
        }
        if (!stored || stored->pairs.size() < 2) {
            throw Failure("fewer than two point pairs to fit: " +
                          std::to_string(stored ? stored->pairs.size() : 0));
        }
        const std::optional<AffineMap> fitted = FitAffine(stored->pairs);
        if (!fitted) {
            throw Failure("the point pairs decide no mapping: they coincide or lie on one line");
        }
        alignment = {*fitted, stored->pairs};
    }

    if (write) {
        WriteAlignment(doc, alignment);
        std::string reason;
        if (!doc.UpdateFile(&reason)) {
            throw Failure("cannot write the project " + project + ": " + reason);
        }
    }

    const AffineMap& m = alignment.map;
    const std::vector<double> residuals = Residuals(m, alignment.pairs);
    out << "{\n  \"matrix\": [" << number(m.a) << ", " << number(m.b) << ", " << number(m.c) << ", "
        << number(m.d) << ", " << number(m.e) << ", " << number(m.f) << "],\n  \"pairs\": [";
    for (std::size_t i = 0; i < alignment.pairs.size(); ++i) {
        const AlignPair& p = alignment.pairs[i];
        out << (i == 0 ? "\n" : ",\n") << "    {\"p1\": [" << number(p.x1) << ", " << number(p.y1)
            << "], \"p2\": [" << number(p.x2) << ", " << number(p.y2)
            << "], \"residual\": " << number(residuals[i]) << "}";
    }
    out << (alignment.pairs.empty() ? "]" : "\n  ]") << ",\n  \"rms\": " << number(RootMeanSquare(residuals));
    if (found) {
        out << ",\n  \"inliers\": " << found->pairs.size()
            << ",\n  \"mirrored\": " << (found->mirrored ? "true" : "false");
    }
    out << "\n}\n";
    return 0;
}

}  // namespace

int RunAlign(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReporting("align", err, [&] {
        // The two switches take no value; the rest is read as every command reads its words.
        std::vector<std::string> rest;
        bool automatic = false, write = false;
        for (const std::string& word : args) {
            if (word == "--auto") {
                automatic = true;
            } else if (word == "--write") {
                write = true;
            } else {
                rest.push_back(word);
            }
        }
        const Arguments parsed = ParseArguments(rest, {});
        if (parsed.help) {
            out << kAlignUsage;
            return 0;
        }
        return align(parsed.project, automatic, write, out);
    });
}

}  // namespace korvane::cli
