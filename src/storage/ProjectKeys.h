#pragma once

// The sections and keys of a project file, read and written through the project's IniDocument document.
// These functions only translate between the document and plain values; when they run (open, save, pad
// edits) is the caller's business.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/IniDocument.h"
#include "text/Pattern.h"

namespace korvane {

inline constexpr std::string_view kFilePathSection = "FilePathSection";
inline constexpr std::string_view kComponentsSection = "ComponentsSection";
inline constexpr std::string_view kTraceSection = "TraceSection";
// The traces of the per-channel fill modes, which a reader of "TraceSection" alone must not take for
// packed-range fills: each entry's key is "<list>.<place>", the list (1 or 2) and the record's place in
// it counted from 0, and its value the whole record.
inline constexpr std::string_view kModeTraceSection = "ModeTraceSection";

// ---- Main values of "FilePathSection" --------------------------------------------------------------

struct MainValues {
    double scaleX = 1, scaleY = 1;
    int oldX1 = 0, oldY1 = 0, oldX2 = 0, oldY2 = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Writes "X", "Y", "OldX1", "OldY1", "OldX2", "OldY2", "X1", "Y1", "X2", "Y2" in this order, replacing
// existing values in place so that the two picture entries stay first.
void WriteMainValues(IniDocument& ini, const MainValues& values);
// A scale that is not greater than 0 (missing, empty or garbage included), or that single precision holds as
// 0 or infinity, reads as 1, so a damaged file can never freeze, mirror or blow up the cursor mapping.
MainValues ReadMainValues(const IniDocument& ini);

// ---- Pads ------------------------------------------------------------------------------------------

// Positions (pads, cursors) are read leniently and then held within +-kCoordinateLimit: far beyond any
// picture, yet every conversion of a position to a whole pixel number stays defined. A hand-typed
// "1Pad=99999999999999999999,5" would otherwise reach the drawing and the scroll arithmetic as a number no
// int can hold.
inline constexpr double kCoordinateLimit = 1e9;
double ReadCoordinate(std::string_view text);

std::string PadSectionName(int n);
std::string FormatPadPosition(double x, double y);
// x before the first ",", y after it; without a "," both come from the whole text. Both by ReadCoordinate.
void ParsePadPosition(std::string_view text, double& x, double& y);

struct PadRecord {
    int number = 0;  // parsed from the section name after "Pad"
    std::string sectionName, padName, netName, compName;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Every section whose name begins with "Pad" (any letter case), in document order. The number is the
// lenient whole-number parse of the rest of the name ("Pad05" -> 5, "PadX" -> 0) and is returned as it
// stands, also when it is 0, negative, above 32767 or repeated: deciding which pads to refuse belongs to the
// pad markers. Values are read by section name, so a repeated section name reads from its first section.
std::vector<PadRecord> ReadPads(const IniDocument& ini);
void WritePad(IniDocument& ini, int n, std::string_view padName, std::string_view netName,
              std::string_view compName, double x1, double y1, double x2, double y2);

// ---- Components ------------------------------------------------------------------------------------

struct ComponentData {
    std::string designator, libRef, partType, footprint;
};

// libRef + "{label}" + partType + "{footprint}" + footprint.
std::string JoinComponent(std::string_view libRef, std::string_view partType, std::string_view footprint);
// The inverse of JoinComponent for any text, never failing. Each field runs from the first occurrence of its
// marker to the other marker's first occurrence when that comes later, else to the end; libRef is the text
// before the earlier marker. So a missing marker leaves its field empty (no marker at all: everything is the
// libRef), and swapped markers still give each text to the field its marker names.
ComponentData SplitComponent(std::string_view designator, std::string_view value,
                             CaseMode markerCase = CaseMode::Exact);
// Whether a name can be written as an entry's key and read back as the same entry: as written (see
// IniDocument::WrittenName) not blank, no "=" or ";", not starting with "[". A designator such as "C1=" would
// otherwise come back as "C1" and hide the real C1's data, and one such as "[X]" would start a section that
// swallows the entries after it.
bool StorableKey(std::string_view name);
// An empty list leaves "ComponentsSection" as it is. Otherwise the section is rebuilt (at the end of the
// document, as the only section of that name) from the entries whose designator is a StorableKey, in order.
void WriteComponents(IniDocument& ini, const std::vector<ComponentData>& components);
// Every entry of "ComponentsSection" by position.
std::vector<ComponentData> ReadComponents(const IniDocument& ini);

// ---- Traces ----------------------------------------------------------------------------------------

// Key and value of a trace record, split at its first "="; without one the whole record is the key.
std::pair<std::string, std::string> SplitTraceRecord(std::string_view record);
// Rebuilds "TraceSection" from the packed-range records of the two lists, first list first. Records with
// equal keys collapse into one entry holding the later value. Records of the other fill modes go to
// "ModeTraceSection" with their places; without any, that section is not written at all, so a project of
// packed-range traces only is written exactly as before the modes existed.
void WriteTraces(IniDocument& ini, const std::vector<std::string>& list1,
                 const std::vector<std::string>& list2);

struct TraceLists {
    std::vector<std::string> first, second;
    bool offerDrawing = false;  // the section had entries or was missing
};

// Moves the traces out of the document: entries whose key begins with "1" go to the first list, all others
// to the second; the document is left with one empty "TraceSection" (at its end), so the lists are the only
// copy until WriteTraces puts them back. A repeated "TraceSection" gives its records too, after the first's.
// The records of "ModeTraceSection" then take their places among them (places past a list's end, as a
// hand-edited file may give, append in order of place); an entry whose key names no list and place is
// appended to the list its record's first character names, so no record is lost. That section is removed.
TraceLists TakeTraces(IniDocument& ini);

// ---- Pictures --------------------------------------------------------------------------------------

// Values of the first and second entry of "FilePathSection" by position, whatever their keys.
std::pair<std::string, std::string> PictureEntries(const IniDocument& ini);
// Up to and including the last "/", "\" or ":"; empty when there is none.
std::string FolderOfPath(std::string_view path);
// After the last "/" or "\"; the whole path when there is none.
std::string NameOfPath(std::string_view path);
// The bare name when the picture lies in the project file's folder (compared exactly: file names are case
// sensitive here), else the full path.
std::string StoredPicturePath(const std::string& picturePath, const std::string& projectPath);
// The path to load for a stored picture entry; empty for an empty entry. Names and relative paths are
// taken relative to the project file's folder, never the current folder. When that file does not exist
// (for example a full Windows path in a project made on another machine), the stored name is also looked
// for in the project's folder. Returns the first candidate that exists as a regular file, else the first
// candidate.
std::string ResolvePicturePath(const std::string& stored, const std::string& projectPath);

}  // namespace korvane
