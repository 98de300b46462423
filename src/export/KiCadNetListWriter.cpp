#include "export/KiCadNetListWriter.h"

#include "export/NetListWriter.h"
#include "help/HelpLinks.h"

namespace korvane {

namespace {

void line(std::string& out, std::string_view text) {
    out.append(text);
    out.append("\r\n");
}

}  // namespace

KiCadDesign KiCadDesignOf(std::string_view projectPath) {
    const std::size_t slash = projectPath.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? projectPath : projectPath.substr(slash + 1);
    return KiCadDesign{
        std::string(name),
        "Korvane " + VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH)};
}

std::string KiCadQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n' || c == '\0') {
            out += ' ';
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string KiCadNetListText(const ExportModel& model, const KiCadDesign& design) {
    std::string out;
    line(out, "(export (version \"D\")");
    line(out, "  (design");
    line(out, "    (source " + KiCadQuoted(design.source) + ")");
    line(out, "    (tool " + KiCadQuoted(design.tool) + "))");

    // The closing parenthesis of a list goes onto its last entry, as KiCad writes it.
    std::string pending = "  (components";
    for (const ComponentData& component : model.components) {
        line(out, pending);
        line(out, "    (comp (ref " + KiCadQuoted(component.designator) + ")");
        line(out, "      (value " + KiCadQuoted(component.partType) + ")");
        pending = "      (footprint " + KiCadQuoted(component.footprint) + "))";
    }
    line(out, pending + ")");

    pending = "  (nets";
    int code = 0;
    for (const ExportNet& net : NetsWithNodes(model)) {
        line(out, pending);
        pending = "    (net (code \"" + std::to_string(++code) + "\") (name " + KiCadQuoted(net.name) + ")";
        for (const ExportNode& node : net.nodes) {
            line(out, pending);
            pending =
                "      (node (ref " + KiCadQuoted(node.component) + ") (pin " + KiCadQuoted(node.pad) + "))";
        }
        pending += ")";
    }
    line(out, pending + "))");
    return out;
}

}  // namespace korvane
