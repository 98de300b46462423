#include "project/PadCommands.h"

#include <map>

#include "project/Project.h"
#include "storage/ProjectKeys.h"

namespace korvane {

namespace {

void announce(Project& project, const PadChanges& changes) {
    if (!changes.removed.empty()) {
        project.notify([&](ProjectObserver& o) { o.padsRemoved(changes.removed); });
    }
    if (!changes.added.empty()) {
        project.notify([&](ProjectObserver& o) { o.padsAdded(changes.added); });
    }
    if (!changes.moved.empty()) {
        project.notify([&](ProjectObserver& o) { o.padsMoved(changes.moved); });
    }
    if (!changes.renamed.empty()) {
        project.notify([&](ProjectObserver& o) { o.padsRenamed(changes.renamed); });
    }
    if (changes.names) {
        project.notify([](ProjectObserver& o) { o.componentsChanged(); });
    }
}

PadEdit::Namer fixed(std::string text) {
    return [text = std::move(text)](const PadChanges&) { return text; };
}

// Data typed for a component, stored under the list's spelling of its designator.
void storeTyped(PadBoard& board, const ComponentData& typed) {
    ComponentData data = board.componentData(typed.designator);
    data.libRef = typed.libRef;
    data.partType = typed.partType;
    data.footprint = typed.footprint;
    board.storeComponentData(data);
}

}  // namespace

std::string CountedPads(const char* verb, std::size_t count) {
    return std::string(verb) + " " + std::to_string(count) + (count == 1 ? " pad" : " pads");
}

PadEdit::PadEdit(Action action, Namer namer) : action_(std::move(action)), namer_(std::move(namer)) {}

void PadEdit::redo(Project& project) {
    journal_.clear();
    project.pads.setJournal(&journal_);
    action_(project.pads);
    project.pads.setJournal(nullptr);
    changes_ = journal_.changes();
    if (text_.empty()) {
        text_ = namer_(changes_);
    }
    announce(project, changes_);
}

void PadEdit::undo(Project& project) {
    journal_.rollback(project.pads);
    announce(project, changes_.inverse());
}

bool ApplyPadEdit(Project& project, std::unique_ptr<PadEdit> edit) {
    edit->redo(project);
    if (edit->changedNothing()) {
        return false;
    }
    project.record(std::move(edit));
    return true;
}

std::unique_ptr<PadEdit> PlacePadEdit(int n, PadPlace place, unsigned fields, PadNames names,
                                      std::optional<ComponentData> data) {
    return std::make_unique<PadEdit>(
        [=](PadBoard& board) {
            if (!board.place(n, place.x1, place.y1, place.x2, place.y2)) {
                return;
            }
            board.writeNames({n}, fields, names);
            if (data) {
                storeTyped(board, *data);
            }
        },
        fixed("place pad"));
}

std::unique_ptr<PadEdit> MovePadEdit(int picture, int n, double left, double top) {
    return std::make_unique<PadEdit>([=](PadBoard& board) { board.move(picture, n, left, top); },
                                     fixed("move pad"));
}

std::unique_ptr<PadEdit> DeletePadsEdit(std::vector<int> pads, std::string netPattern,
                                        std::string compPattern) {
    const std::size_t count = pads.size();
    return std::make_unique<PadEdit>(
        [pads = std::move(pads), netPattern = std::move(netPattern),
         compPattern = std::move(compPattern)](PadBoard& board) {
            board.deletePads(pads);
            if (board.markers.highest() == 0) {
                board.clearLists();
                board.removeSection(kComponentsSection);
                return;
            }
            if (!netPattern.empty()) {
                board.pruneNets(netPattern);
            }
            if (!compPattern.empty()) {
                board.pruneComponents(compPattern);
            }
        },
        [count](const PadChanges& changes) {
            return CountedPads("delete", changes.removed.empty() ? count : changes.removed.size());
        });
}

std::unique_ptr<PadEdit> DeletePadEdit(int n) {
    return std::make_unique<PadEdit>([n](PadBoard& board) { board.deletePad(n); }, fixed("delete pad"));
}

std::unique_ptr<PadEdit> NamePadsEdit(std::vector<int> pads, unsigned fields, PadNames names,
                                      std::optional<ComponentData> data) {
    const std::size_t count = pads.size();
    return std::make_unique<PadEdit>(
        [pads = std::move(pads), fields, names = std::move(names), data = std::move(data)](PadBoard& board) {
            board.writeNames(pads, fields, names);
            if (data) {
                storeTyped(board, *data);
            }
        },
        [count, typed = data.has_value()](const PadChanges& changes) {
            if (changes.renamed.empty() && typed) {
                return std::string("component data");
            }
            return CountedPads("name", changes.renamed.empty() ? count : changes.renamed.size());
        });
}

std::unique_ptr<PadEdit> NameSuggestedPadsEdit(std::vector<NetSuggestion> suggestions) {
    const std::size_t count = suggestions.size();
    return std::make_unique<PadEdit>(
        [suggestions = std::move(suggestions)](PadBoard& board) {
            // One naming per net, its pads in the order suggested.
            std::map<std::string, std::vector<int>> byNet;
            for (const NetSuggestion& suggestion : suggestions) {
                byNet[suggestion.net].push_back(suggestion.pad);
            }
            for (const auto& [net, pads] : byNet) {
                board.writeNames(pads, kNetNameField, PadNames{"", net, ""});
            }
        },
        [count](const PadChanges& changes) {
            return CountedPads("name", changes.renamed.empty() ? count : changes.renamed.size());
        });
}

std::unique_ptr<PadEdit> PadLayerEdit(std::vector<int> pads, int layer) {
    return std::make_unique<PadEdit>(
        [pads = std::move(pads), layer](PadBoard& board) { board.setPadLayer(pads, layer); },
        fixed(layer == 0 ? "through pads" : "pads on one side"));
}

std::unique_ptr<PadEdit> ComponentDataEdit(ComponentData data) {
    return std::make_unique<PadEdit>(
        [data = std::move(data)](PadBoard& board) { board.storeComponentData(data); },
        fixed("component data"));
}

}  // namespace korvane
