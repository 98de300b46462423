#include "storage/IniDocument.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "storage/AtomicFile.h"
#include "text/Ascii.h"
#include "text/Pattern.h"

namespace korvane {

namespace {

const std::string kNotFoundName(1, '\0');

struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        // FNV-1a over the upper-cased bytes, so that names equal ignoring case hash alike.
        std::uint64_t hash = 14695981039346656037ull;
        for (char c : text) {
            hash ^= static_cast<unsigned char>(asciiUpper(c));
            hash *= 1099511628211ull;
        }
        return static_cast<std::size_t>(hash);
    }
};

struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return equalsIgnoreCase(a, b); }
};

// An ordered list of named nodes that keeps first-match lookups by name and positional access cheap while
// nodes are removed anywhere.
//
// Removal leaves a hole in `slots_` instead of shifting everything after it; holes are squeezed out once
// they outnumber the live nodes, or once enough positional reads have paid for it. Until then a position
// past the first hole is found through a Fenwick tree of live slots, so loops such as "remove the section
// at position 1 until none is left" stay O(n log n) instead of quadratic.
//
// Nodes with equal names (ignoring case) form a chain in list order; the index maps a name to its chain, so
// the first match is the chain's head. Small lists are scanned instead, which is faster than hashing and
// costs no memory; the index is built once a list grows past a handful of entries.
//
// Lookups are const for the caller but may tidy the structure, hence the mutable members.
template <class Node>
class NamedList {
  public:
    NamedList() = default;
    NamedList(const NamedList&) = delete;
    NamedList& operator=(const NamedList&) = delete;

    std::size_t size() const { return live_; }

    // 0-based, pos < size().
    Node* at(std::size_t pos) const {
        if (pos < firstHole_) {
            return slots_[pos].get();
        }
        if (++slowReads_ > slots_.size()) {
            compact();
            return slots_[pos].get();
        }
        if (!treeValid_) {
            buildTree();
        }
        return slots_[selectSlot(pos)].get();
    }

    Node* find(std::string_view name) const {
        if (!indexed_) {
            for (const auto& node : slots_) {
                if (node && equalsIgnoreCase(node->name, name)) {
                    return node.get();
                }
            }
            return nullptr;
        }
        auto it = index_.find(name);
        return it == index_.end() ? nullptr : it->second.head;
    }

    Node* append(std::unique_ptr<Node> owned) {
        Node* node = owned.get();
        node->slot = slots_.size();
        node->nextSame = nullptr;
        slots_.push_back(std::move(owned));
        ++live_;
        if (treeValid_) {
            appendToTree();
        }
        if (indexed_) {
            link(node);
        } else if (live_ > kIndexThreshold) {
            buildIndex();
        }
        return node;
    }

    // Inserts the node so that it becomes the one at pos (0-based; past the end it is appended). Linear in
    // the list's length: insertion in the middle is rare (an undone removal), and keeping the slots dense
    // then keeps every other operation as cheap as before.
    Node* insert(std::size_t pos, std::unique_ptr<Node> owned) {
        if (pos >= live_) {
            return append(std::move(owned));
        }
        if (dead_ > 0) {
            compact();
        }
        Node* node = owned.get();
        node->nextSame = nullptr;
        slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(owned));
        for (std::size_t i = pos; i < slots_.size(); ++i) {
            slots_[i]->slot = i;
        }
        ++live_;
        tree_.clear();
        treeValid_ = false;
        if (indexed_) {
            linkInOrder(node);
        } else if (live_ > kIndexThreshold) {
            buildIndex();
        }
        return node;
    }

    // 0-based position of a live node.
    std::size_t position(const Node* node) const {
        if (node->slot < firstHole_) {
            return node->slot;
        }
        if (!treeValid_) {
            buildTree();
        }
        return static_cast<std::size_t>(prefix(node->slot));
    }

    void remove(Node* node) {
        if (indexed_) {
            unlink(node);
        }
        std::size_t slot = node->slot;
        slots_[slot].reset();
        --live_;
        ++dead_;
        if (slot < firstHole_) {
            firstHole_ = slot;
        }
        if (treeValid_) {
            addToTree(slot, -1);
        }
        if (dead_ > live_) {
            compact();
        }
    }

    void clear() {
        slots_.clear();
        index_.clear();
        tree_.clear();
        live_ = 0;
        dead_ = 0;
        firstHole_ = kNoHole;
        treeValid_ = false;
        indexed_ = false;
        slowReads_ = 0;
    }

    template <class F>
    void forEach(F&& visit) const {
        for (const auto& node : slots_) {
            if (node) {
                visit(*node);
            }
        }
    }

  private:
    static constexpr std::size_t kNoHole = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t kIndexThreshold = 8;

    struct Chain {
        Node* head;
        Node* tail;
    };

    void link(Node* node) const {
        auto it = index_.find(std::string_view(node->name));
        if (it == index_.end()) {
            index_.emplace(node->name, Chain{node, node});
        } else {
            it->second.tail->nextSame = node;
            it->second.tail = node;
        }
    }

    // Links a node into its chain at its place in list order (slots are dense and ordered).
    void linkInOrder(Node* node) const {
        auto it = index_.find(std::string_view(node->name));
        if (it == index_.end()) {
            index_.emplace(node->name, Chain{node, node});
            return;
        }
        Chain& chain = it->second;
        Node* previous = nullptr;
        Node* current = chain.head;
        while (current && current->slot < node->slot) {
            previous = current;
            current = current->nextSame;
        }
        node->nextSame = current;
        if (previous) {
            previous->nextSame = node;
        } else {
            chain.head = node;
        }
        if (!current) {
            chain.tail = node;
        }
    }

    void unlink(Node* node) {
        auto it = index_.find(std::string_view(node->name));
        if (it == index_.end()) {
            return;
        }
        Chain& chain = it->second;
        // Removal by name always takes the head; walking covers any other caller.
        Node* previous = nullptr;
        Node* current = chain.head;
        while (current && current != node) {
            previous = current;
            current = current->nextSame;
        }
        if (!current) {
            return;
        }
        if (previous) {
            previous->nextSame = node->nextSame;
        } else {
            chain.head = node->nextSame;
        }
        if (chain.tail == node) {
            chain.tail = previous;
        }
        if (!chain.head) {
            index_.erase(it);
        }
    }

    void buildIndex() const {
        index_.clear();
        index_.reserve(live_);
        for (const auto& node : slots_) {
            if (node) {
                node->nextSame = nullptr;
                link(node.get());
            }
        }
        indexed_ = true;
    }

    void compact() const {
        std::size_t write = 0;
        for (std::size_t read = 0; read < slots_.size(); ++read) {
            if (slots_[read]) {
                if (write != read) {
                    slots_[write] = std::move(slots_[read]);
                }
                slots_[write]->slot = write;
                ++write;
            }
        }
        slots_.resize(write);
        dead_ = 0;
        firstHole_ = kNoHole;
        tree_.clear();
        treeValid_ = false;
        slowReads_ = 0;
    }

    // Fenwick tree over the slots, 1-based, counting live nodes.
    void buildTree() const {
        std::size_t n = slots_.size();
        tree_.assign(n + 1, 0);
        for (std::size_t i = 1; i <= n; ++i) {
            tree_[i] += slots_[i - 1] ? 1 : 0;
            std::size_t parent = i + (i & (~i + 1));
            if (parent <= n) {
                tree_[parent] += tree_[i];
            }
        }
        treeValid_ = true;
    }

    std::int64_t prefix(std::size_t count) const {
        std::int64_t sum = 0;
        for (std::size_t i = count; i > 0; i &= i - 1) {
            sum += tree_[i];
        }
        return sum;
    }

    void appendToTree() const {
        std::size_t i = slots_.size();  // the new node's 1-based position
        std::size_t low = i & (~i + 1);
        tree_.push_back(1 + prefix(i - 1) - prefix(i - low));
    }

    void addToTree(std::size_t slot, std::int64_t delta) const {
        for (std::size_t i = slot + 1; i < tree_.size(); i += i & (~i + 1)) {
            tree_[i] += delta;
        }
    }

    std::size_t selectSlot(std::size_t pos) const {
        std::size_t n = tree_.size() - 1;
        std::size_t at = 0;
        auto remaining = static_cast<std::int64_t>(pos) + 1;
        for (std::size_t step = std::bit_floor(n); step > 0; step >>= 1) {
            if (at + step <= n && tree_[at + step] < remaining) {
                at += step;
                remaining -= tree_[at];
            }
        }
        return at;  // 0-based slot of the (pos + 1)-th live node
    }

    mutable std::vector<std::unique_ptr<Node>> slots_;
    std::size_t live_ = 0;
    mutable std::size_t dead_ = 0;
    mutable std::size_t firstHole_ = kNoHole;
    mutable std::vector<std::int64_t> tree_;
    mutable bool treeValid_ = false;
    mutable std::size_t slowReads_ = 0;
    mutable std::unordered_map<std::string, Chain, FoldedHash, FoldedEqual> index_;
    mutable bool indexed_ = false;
};

struct Entry {
    std::string name;
    std::string value;
    std::size_t slot = 0;
    Entry* nextSame = nullptr;
};

struct Section {
    std::string name;
    NamedList<Entry> entries;
    std::size_t slot = 0;
    Section* nextSame = nullptr;
};

void appendEntry(Section& section, std::string_view name, std::string_view value) {
    auto entry = std::make_unique<Entry>();
    entry->name = name;
    entry->value = value;
    section.entries.append(std::move(entry));
}

// Writes text with CR, LF and NUL turned into blanks: a stray line break inside a name or value would
// otherwise split the entry and corrupt the file on the next load.
void appendClean(std::string& out, std::string_view text) {
    for (char c : text) {
        out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    }
}

// Blanks at both ends of a line, and NUL bytes there too: the writer turns a NUL into a blank, so one that
// started a line would come back as a leading blank, be trimmed away and change what the line means.
std::string_view trimLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(std::string_view(" \0", 2));
    if (first == std::string_view::npos) {
        return line.substr(line.size());
    }
    const std::size_t last = line.find_last_not_of(std::string_view(" \0", 2));
    return line.substr(first, last - first + 1);
}

}  // namespace

struct IniDocument::Document {
    NamedList<Section> sections;

    Section* find(std::string_view name) const { return sections.find(name); }

    Section* add(std::string_view name) {
        auto section = std::make_unique<Section>();
        section->name = name;
        return sections.append(std::move(section));
    }
};

IniDocument::IniDocument() : doc_(std::make_unique<Document>()) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;

void IniDocument::SetFileName(const std::string& path) {
    StartNew(path);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(std::filesystem::path(path), ec)) {
        return;
    }
    // errno says why (no permission, an I/O error); the message names it for the user.
    auto why = [] { return errno != 0 ? std::string(": ") + std::strerror(errno) : std::string(); };
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw IniReadError("cannot open " + path + why());
    }
    std::string text;
    char buffer[1 << 16];
    errno = 0;
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        throw IniReadError("cannot read " + path + why());
    }
    LoadFromText(text);
}

void IniDocument::StartNew(const std::string& path) {
    fileName_ = path;
    doc_->sections.clear();
}

void IniDocument::LoadFromText(std::string_view text) {
    doc_->sections.clear();
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string_view line = text.substr(pos, end == std::string_view::npos ? text.npos : end - pos);
        if (end == std::string_view::npos) {
            pos = text.size();
        } else {
            pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        }

        // A ";" in the very first column marks a comment; one further in only ends the useful text, and
        // is looked for after trimming so that the blanks before it stay part of the value.
        if (!line.empty() && line.front() == ';') {
            continue;
        }
        line = trimLine(line);
        if (line.empty()) {
            continue;
        }
        if (std::size_t cut = line.find(';'); cut != std::string_view::npos) {
            line = line.substr(0, cut);
        }

        if (!line.empty() && line.front() == '[') {
            std::size_t close = line.find(']');
            if (close == std::string_view::npos || close == 1) {
                continue;
            }
            current = doc_->add(line.substr(1, close - 1));
            continue;
        }
        if (!current) {
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            continue;
        }
        appendEntry(*current, line.substr(0, equals), line.substr(equals + 1));
    }
}

std::string IniDocument::ToText() const {
    std::string out;
    doc_->sections.forEach([&out](const Section& section) {
        out += '[';
        appendClean(out, section.name);
        out += "]\r\n";
        section.entries.forEach([&out](const Entry& entry) {
            out += WrittenName(entry.name);
            out += '=';
            appendClean(out, entry.value);
            // Likewise for the blanks that end it (a value cut before a ";" keeps some in memory): the file
            // then reads back as it was written, and a second save changes nothing.
            while (out.back() == ' ') {
                out.pop_back();
            }
            out += "\r\n";
        });
        out += "\r\n";
    });
    return out;
}

std::string IniDocument::WrittenName(std::string_view name) {
    // Reading trims the blanks that begin a line, so a name written with some (a NUL or a blank typed at
    // its start) would read back as another name.
    std::string written;
    appendClean(written, name);
    written.erase(0, std::min(written.find_first_not_of(' '), written.size()));
    return written;
}

int IniDocument::SectionsCount() const {
    return static_cast<int>(doc_->sections.size());
}

std::string IniDocument::SectionName(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > doc_->sections.size()) {
        return kNotFoundName;
    }
    return doc_->sections.at(static_cast<std::size_t>(index) - 1)->name;
}

bool IniDocument::SectionExists(std::string_view section) const {
    return doc_->find(section) != nullptr;
}

bool IniDocument::AddSection(std::string_view section) {
    if (doc_->find(section)) {
        return false;
    }
    doc_->add(section);
    return true;
}

bool IniDocument::RemoveSection(std::string_view section) {
    Section* found = doc_->find(section);
    if (!found) {
        return false;
    }
    doc_->sections.remove(found);
    return true;
}

int IniDocument::SectionIndex(std::string_view section) const {
    Section* found = doc_->find(section);
    return found ? static_cast<int>(doc_->sections.position(found)) + 1 : 0;
}

IniSection IniDocument::SectionAt(int index) const {
    IniSection copy;
    if (index < 1 || static_cast<std::size_t>(index) > doc_->sections.size()) {
        return copy;
    }
    const Section* section = doc_->sections.at(static_cast<std::size_t>(index) - 1);
    copy.name = section->name;
    copy.entries.reserve(section->entries.size());
    section->entries.forEach(
        [&copy](const Entry& entry) { copy.entries.emplace_back(entry.name, entry.value); });
    return copy;
}

void IniDocument::InsertSection(int index, const IniSection& section) {
    auto node = std::make_unique<Section>();
    node->name = section.name;
    for (const auto& [name, value] : section.entries) {
        appendEntry(*node, name, value);
    }
    doc_->sections.insert(static_cast<std::size_t>(std::max(index, 1) - 1), std::move(node));
}

std::string IniDocument::FindSection(std::string_view text) const {
    std::string pattern = "*" + asciiUpper(text) + "*";
    std::string result;
    bool found = false;
    doc_->sections.forEach([&](const Section& section) {
        if (!found && likeMatch(asciiUpper(section.name), pattern, CaseMode::Exact)) {
            result = section.name;
            found = true;
        }
    });
    return result;
}

int IniDocument::ValuesCount(std::string_view section) const {
    Section* found = doc_->find(section);
    return found ? static_cast<int>(found->entries.size()) : -1;
}

std::string IniDocument::ValueName(std::string_view section, int index) const {
    Section* found = doc_->find(section);
    if (!found || index < 1 || static_cast<std::size_t>(index) > found->entries.size()) {
        return kNotFoundName;
    }
    return found->entries.at(static_cast<std::size_t>(index) - 1)->name;
}

std::string IniDocument::ValueAt(std::string_view section, int index) const {
    Section* found = doc_->find(section);
    if (!found || index < 1 || static_cast<std::size_t>(index) > found->entries.size()) {
        return {};
    }
    return found->entries.at(static_cast<std::size_t>(index) - 1)->value;
}

std::string IniDocument::Value(std::string_view section, std::string_view name) const {
    Section* found = doc_->find(section);
    if (!found) {
        return {};
    }
    Entry* entry = found->entries.find(name);
    return entry ? entry->value : std::string();
}

void IniDocument::SetValue(std::string_view section, std::string_view name, std::string_view data) {
    Section* found = doc_->find(section);
    if (!found) {
        found = doc_->add(section);
    } else if (Entry* entry = found->entries.find(name)) {
        entry->value = data;
        return;
    }
    appendEntry(*found, name, data);
}

bool IniDocument::SetValueAt(std::string_view section, int index, std::string_view data) {
    Section* found = doc_->find(section);
    if (!found || index < 1 || static_cast<std::size_t>(index) > found->entries.size()) {
        return false;
    }
    found->entries.at(static_cast<std::size_t>(index) - 1)->value = data;
    return true;
}

bool IniDocument::AddValue(std::string_view section, std::string_view name, std::string_view value) {
    Section* found = doc_->find(section);
    if (!found) {
        found = doc_->add(section);
    } else if (found->entries.find(name)) {
        return false;
    }
    appendEntry(*found, name, value);
    return true;
}

bool IniDocument::ValueExists(std::string_view section, std::string_view name) const {
    Section* found = doc_->find(section);
    return found && found->entries.find(name);
}

bool IniDocument::RemoveValue(std::string_view section, std::string_view name) {
    Section* found = doc_->find(section);
    if (!found) {
        return false;
    }
    Entry* entry = found->entries.find(name);
    if (!entry) {
        return false;
    }
    found->entries.remove(entry);
    return true;
}

std::string FailureMessage(std::string_view message, std::string_view reason) {
    std::string text(message);
    if (!reason.empty()) {
        text += '\n';
        text += asciiUpper(reason.front());
        text.append(reason.substr(1));
    }
    return text;
}

bool IniDocument::UpdateFile(std::string* reason) {
    if (reason) {
        reason->clear();
    }
    if (fileName_.empty()) {
        return false;
    }
    return writeFileAtomically(fileName_, ToText(), reason);
}

}  // namespace korvane
