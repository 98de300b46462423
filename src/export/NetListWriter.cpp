#include "export/NetListWriter.h"

#include <unordered_map>
#include <vector>

#include "text/Ascii.h"

namespace korvane {

namespace {

std::string netKey(std::string_view name) {
    return asciiUpper(trimBlanks(name));
}

}  // namespace

void AppendExportLine(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n' || out[i] == '\0') {
            out[i] = ' ';
        }
    }
    out.append("\r\n");
}

std::vector<ExportNet> NetsWithNodes(const ExportModel& model) {
    // Nodes of every net key, in document order.
    std::unordered_map<std::string, std::vector<ExportNode>> nodes;
    for (const ExportPad& pad : model.pads) {
        // The lists hold designators trimmed, so the nodes must name them the same way.
        const std::string_view comp = trimBlanks(pad.compName);
        const std::string_view name = trimBlanks(pad.padName);
        const std::string key = netKey(pad.netName);
        if (comp.empty() || name.empty() || key.empty()) {
            continue;
        }
        nodes[key].push_back(ExportNode{std::string(comp), std::string(name)});
    }

    std::vector<ExportNet> nets;
    nets.reserve(model.nets.size());
    for (const std::string& name : model.nets) {
        ExportNet net{name, {}};
        // A second spelling of the same net in the list (which the pad dialog never makes) gets no pads,
        // so that no pad appears in two nets.
        auto found = nodes.find(netKey(name));
        if (found != nodes.end()) {
            net.nodes = std::move(found->second);
            nodes.erase(found);
        }
        nets.push_back(std::move(net));
    }
    return nets;
}

std::string NetListText(const ExportModel& model) {
    std::string out;
    for (const ComponentData& component : model.components) {
        AppendExportLine(out, "[");
        AppendExportLine(out, component.designator);
        AppendExportLine(out, component.footprint);
        AppendExportLine(out, component.partType);
        AppendExportLine(out, "");
        AppendExportLine(out, "");
        AppendExportLine(out, "");
        AppendExportLine(out, "]");
    }
    for (const ExportNet& net : NetsWithNodes(model)) {
        AppendExportLine(out, "(");
        AppendExportLine(out, net.name);
        for (const ExportNode& node : net.nodes) {
            AppendExportLine(out, node.component + "-" + node.pad);
        }
        AppendExportLine(out, ")");
    }
    return out;
}

}  // namespace korvane
