#pragma once

// The in-memory model of an INI-style text file: an ordered list of named sections, each an ordered list
// of name/value entries. The project file and the component libraries are read and written through it.
//
// Names are matched ignoring the case of ASCII letters, and every lookup acts on the first match in list
// order; duplicates are kept as read, because hand-edited and older files contain them and must load and
// save without loss. A project holds tens of thousands of sections, so lookups by name go through an index
// and positional access stays cheap after removals; see IniDocument.cpp.
//
// Text is bytes: nothing is converted between code pages. The object is not safe for concurrent use, not
// even by readers, because lookups tidy the internal index lazily.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

// A file that exists but cannot be read. The document is left empty.
class IniReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failure message as the user sees it: the fixed text, then the reason, when there is one, on a second
// line starting with a capital letter.
std::string FailureMessage(std::string_view message, std::string_view reason);

// One section as a plain value, entries in order (duplicates included): what an undo keeps of a section it
// removed, so that it can put the section back exactly as it was.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

class IniDocument {
  public:
    IniDocument();
    ~IniDocument();
    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    const std::string& FileName() const { return fileName_; }
    // Stores the path, empties the document and loads the file when a regular file of that name exists
    // (symbolic links followed). A missing file is how a new document starts. Throws IniReadError when the
    // file exists but cannot be read.
    void SetFileName(const std::string& path);
    // Empties the document and gives it the path without looking at the disk.
    void StartNew(const std::string& path);
    // Gives the document a new path and keeps everything it holds (Save As).
    void Retarget(const std::string& path) { fileName_ = path; }

    // Replaces the contents with the sections read from text by the loading rules; keeps FileName.
    // Lines end at CR LF, LF or a lone CR.
    void LoadFromText(std::string_view text);
    // The canonical text that UpdateFile writes: "[name]", then "name=value" per entry, then an empty
    // line, every line ending with CR LF. CR, LF and NUL inside names and values are written as blanks so
    // that no entry can break a line. Blanks that begin a name or end a value are left out, as reading drops
    // them.
    std::string ToText() const;
    // An entry's name as ToText writes it: CR, LF and NUL as blanks, leading blanks left out. Whether a
    // name can serve as a key is decided on this text, not on the name held in memory.
    static std::string WrittenName(std::string_view name);

    int SectionsCount() const;
    // 1-based. Outside 1..SectionsCount the result is one NUL character, which no real name equals.
    std::string SectionName(int index) const;
    bool SectionExists(std::string_view section) const;
    // False (and no change) when a section of that name exists already.
    bool AddSection(std::string_view section);
    bool RemoveSection(std::string_view section);
    // 1-based position of the first section of that name; 0 when there is none.
    int SectionIndex(std::string_view section) const;
    // The section at a 1-based position as a value; an empty value outside 1..SectionsCount.
    IniSection SectionAt(int index) const;
    // Inserts the section so that it becomes the one at the 1-based position index; past the end it is
    // appended. Sections of the same name keep their order of first match by position.
    void InsertSection(int index, const IniSection& section);
    // Stored name of the first section whose name contains text, compared in upper case; wildcard
    // characters in text act as wildcards. Empty when none matches.
    std::string FindSection(std::string_view text) const;

    // -1 when the section does not exist.
    int ValuesCount(std::string_view section) const;
    // 1-based; one NUL character when the section is missing or index is out of range.
    std::string ValueName(std::string_view section, int index) const;
    // 1-based value by position, whatever the entry's name; empty when missing or out of range. Readers
    // that walk a section by position use it so that duplicate names do not all read the first one's value.
    std::string ValueAt(std::string_view section, int index) const;
    // Empty when the section or the entry is missing.
    std::string Value(std::string_view section, std::string_view name) const;
    // Replaces the value of the first matching entry (its stored name keeps its case), or appends the
    // entry, or appends a new section holding only this entry.
    void SetValue(std::string_view section, std::string_view name, std::string_view data);
    // Replaces the value of the entry at a 1-based position, whatever its name; false (and no change) when
    // the section or the position does not exist. Readers that take an entry by position (the pictures of
    // "FilePathSection") are written back the same way, so two names equal but for case stay two entries.
    bool SetValueAt(std::string_view section, int index, std::string_view data);
    // Appends the entry, creating the section if needed; never overwrites: false when the entry exists.
    bool AddValue(std::string_view section, std::string_view name, std::string_view value = {});
    bool ValueExists(std::string_view section, std::string_view name) const;
    bool RemoveValue(std::string_view section, std::string_view name);

    // Replaces the file atomically with ToText(). On failure returns false, leaves both the model and the
    // old file untouched and puts why (a full disk, no permission) into reason; telling the user is the
    // caller's business. False with an empty reason, and nothing tried, when FileName is empty.
    bool UpdateFile(std::string* reason = nullptr);

  private:
    struct Document;

    std::string fileName_;
    std::unique_ptr<Document> doc_;
};

}  // namespace korvane
