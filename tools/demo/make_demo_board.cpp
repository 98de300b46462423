// korvane-make-demo: draws the demo board that Korvane opens at first start.
//
// The board is a small 555 flasher: an NE555 astable whose output drives an LED and, through a BC337, a
// load on a screw terminal. Both copper layers are drawn from one table (pads, tracks, vias, the ground
// pour and the etched labels below), so that pads and traces added to the demo project later can be put
// at known points: run with --list to print every pad on both pictures.
//
// Picture 1 (top.jpg) is the component side as a flatbed scan sees it. Picture 2 (bottom.jpg) is the
// solder side as a second scan gives it: the board laid face down, so the picture shows the solder side
// as seen from below, mirrored against the top view, turned by a degree and a half on the glass, at
// another place, and stretched a little along the scanner's motor axis. A board point p of picture 1
// therefore lies at an affine image of p with a negative determinant on picture 2 (bottomAlignment()).
// demo.kvp stores that mapping, exactly, with a few drill holes as point pairs, gives the second marker
// of every pad through it, and carries the nearest per-axis scale for readers that know only that.
//
// Components (pad 1 first; board coordinates are pixels of picture 1, about 11.8 pixels per mm):
//
//   U1   NE555 timer          DIP-8           1 GND, 2 TRIG, 3 OUT, 4 RESET, 5 CTRL, 6 THRES, 7 DISCH, 8 VCC
//   R1   10k                  axial 400 mil   VCC - DISCH
//   RV1  100k trimmer         3-pin triangle  1 DISCH, 2 wiper, 3 tied to the wiper
//   R2   47k                  axial 400 mil   RV_W - THR
//   C1   10uF electrolytic    radial          1 + THR, 2 - GND
//   C2   10nF ceramic         disc 5.08 mm    CTRL - GND
//   C3   100uF electrolytic   radial          1 + VCC, 2 - GND (supply reservoir)
//   C4   100nF ceramic        1206, top only  VCC - GND next to U1 pin 8
//   R3   1k                   axial 400 mil   OUT - BASE
//   R4   1k                   1206, top only  OUT - LED_A
//   R5   10k                  axial 400 mil   BASE - GND (keeps Q1 off while U1 starts)
//   D2   red LED              1206, top only  1 K GND, 2 A LED_A
//   Q1   BC337 NPN            TO-92           1 E GND, 2 B BASE, 3 C LOAD
//   D1   1N4148               DO-35           1 K VCC, 2 A LOAD (catches the load's flyback)
//   J1   supply in            terminal 5.08   1 VCC, 2 GND
//   J2   load out             terminal 5.08   1 VCC, 2 LOAD
//
// Nets: VCC, GND, DISCH, RV_W, THR, CTRL, OUT, LED_A, BASE, LOAD.
//
// Top layer: a GND pour over the left two thirds with thermal spokes to the GND pads, the VCC rail along
// the upper edge and the OUT and LED tracks. Bottom layer: the timing and output wiring, the VCC branches
// down from the rail (through vias) and a GND return along the lower edge, stitched to the pour.
//
// Before writing anything the generator checks its own geometry: on each layer the copper is split into
// connected areas, the areas are joined through plated holes, and every net must end up as exactly one
// group that holds no other net and no copper may be left unconnected. An edit of the table that shorts
// two nets or cuts one apart, or brings two nets closer than kMinimumGap, therefore stops the generator
// instead of producing a misleading demo.
//
// The scans imitate a 300 dpi flatbed: white lid around the board with the board's shadow, FR4 weave,
// copper of the other side faintly showing through, slight unevenness of lamp and surface, dust and
// sensor noise, all from a fixed seed so that the pictures come out the same on every run. The noise is
// kept small enough that every copper area stays one region of similar colour: a flood fill at 10 %
// tolerance started anywhere on a net's copper follows it to all of its pads on that layer.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- Scan geometry -------------------------------------------------------------------------------------

constexpr int kWidth1 = 1400, kHeight1 = 1000;  // picture 1
constexpr int kWidth2 = 1460, kHeight2 = 1060;  // picture 2: the turned board plus the lid around it
constexpr int kJpegQuality = 90;
constexpr std::uint64_t kSeed = 0x4b56353535u;

// How the board lay on the glass for the second scan: face down (mirrored about the board's vertical
// middle line), turned by kTurnDegrees about its middle, with that middle at kBoardMiddle2 of picture 2.
// The scanner's carriage moved kMotorStretch times as far per line as the sensor's pitch, so picture 2 is
// that much longer along y; a stepper's error of this size is common on cheap flatbeds.
const QPointF kBoardMiddle1(700, 500);
const QPointF kBoardMiddle2(733, 528);
constexpr double kTurnDegrees = 1.5;
constexpr double kMotorStretch = 1.015;

// The cursors of demo.kvp stand on U1 pin 1, the hole a user finds first on any board with an IC.
constexpr const char* kCursorComponent = "U1";
constexpr const char* kCursorPad = "1";

// x2 = a x1 + b y1 + c, y2 = d x1 + e y1 + f, from positions of picture 1 to positions of picture 2
// (both measured from a picture's top-left corner, as markers and cursors are). The pictures are painted
// through this very matrix, so the stored mapping is the truth and not an estimate of it.
struct Affine {
    double a, b, c, d, e, f;
    QPointF map(QPointF p) const { return {a * p.x() + b * p.y() + c, d * p.x() + e * p.y() + f}; }
    QTransform transform() const { return QTransform(a, d, b, e, c, f); }
};

Affine bottomAlignment() {
    constexpr double kPi = 3.14159265358979323846;
    const double cosine = std::cos(kTurnDegrees * kPi / 180), sine = std::sin(kTurnDegrees * kPi / 180);
    // Mirror about the middle, turn, stretch y: for q = p - middle1, picture 2 holds
    // (-cos q.x - sin q.y, s (-sin q.x + cos q.y)) + middle2.
    const double a = -cosine, b = -sine;
    const double d = -kMotorStretch * sine, e = kMotorStretch * cosine;
    const QPointF m = kBoardMiddle1;
    return {a, b, kBoardMiddle2.x() - (a * m.x() + b * m.y()),
            d, e, kBoardMiddle2.y() - (d * m.x() + e * m.y())};
}

QPointF toPicture2(QPointF p) {
    return bottomAlignment().map(p);
}

// ---- Board description ---------------------------------------------------------------------------------

enum class Side { Top, Bottom };
enum class Shape { Round, Square, Oblong, Smd };

struct Pad {
    const char* comp;
    const char* name;
    const char* net;
    double x, y;
    Shape shape;
    double w, h;   // copper size; a round pad uses w
    double drill;  // hole radius; 0 for a surface-mount pad
    bool onSide(Side side) const { return shape != Shape::Smd || side == Side::Top; }
};

struct Track {
    Side side;
    const char* net;
    double width;
    std::vector<QPointF> points;
};

struct Via {
    const char* net;
    double x, y;
};

struct Label {
    Side side;
    const char* text;
    double x, y;  // top left of the text as read on its own side
    double unit;  // stroke font grid step
};

constexpr double kViaSize = 20, kViaDrill = 4;
constexpr double kMountDrill = 17;
constexpr double kPourClearance = 9;
constexpr double kSpokeWidth = 8;
constexpr int kMinimumGap = 6;  // between copper of two nets, about 0.5 mm

const QRectF kBoard(50, 50, 1300, 900);
constexpr double kBoardCorner = 22;
const std::array<QPointF, 4> kMountingHoles = {QPointF(95, 95), QPointF(1305, 95), QPointF(95, 905),
                                               QPointF(1305, 905)};

// Pad sizes and hole radii in pixels. DIP and TO-92 pads are oblong so that the gap between two pins
// 2.54 mm apart stays wide enough to etch.
constexpr double kAxial = 24, kAxialDrill = 5;
constexpr double kRadial = 26, kRadialDrill = 5;
constexpr double kTerminal = 36, kTerminalDrill = 7.5;

const std::vector<Pad> kPads = {
    {"U1", "1", "GND", 655, 455, Shape::Square, 34, 20, 5},
    {"U1", "2", "THR", 655, 485, Shape::Oblong, 34, 20, 5},
    {"U1", "3", "OUT", 655, 515, Shape::Oblong, 34, 20, 5},
    {"U1", "4", "VCC", 655, 545, Shape::Oblong, 34, 20, 5},
    {"U1", "5", "CTRL", 745, 545, Shape::Oblong, 34, 20, 5},
    {"U1", "6", "THR", 745, 515, Shape::Oblong, 34, 20, 5},
    {"U1", "7", "DISCH", 745, 485, Shape::Oblong, 34, 20, 5},
    {"U1", "8", "VCC", 745, 455, Shape::Oblong, 34, 20, 5},
    {"R1", "1", "VCC", 850, 235, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"R1", "2", "DISCH", 850, 355, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"RV1", "1", "DISCH", 960, 485, Shape::Round, kRadial, kRadial, 6},
    {"RV1", "2", "RV_W", 1010, 405, Shape::Round, kRadial, kRadial, 6},
    {"RV1", "3", "RV_W", 1060, 485, Shape::Round, kRadial, kRadial, 6},
    {"R2", "1", "RV_W", 970, 590, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"R2", "2", "THR", 850, 590, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"C1", "1", "THR", 850, 680, Shape::Square, kRadial, kRadial, kRadialDrill},
    {"C1", "2", "GND", 850, 740, Shape::Round, kRadial, kRadial, kRadialDrill},
    {"C2", "1", "CTRL", 745, 640, Shape::Round, kRadial, kRadial, kRadialDrill},
    {"C2", "2", "GND", 745, 700, Shape::Round, kRadial, kRadial, kRadialDrill},
    {"C3", "1", "VCC", 240, 245, Shape::Square, kRadial + 4, kRadial + 4, 6},
    {"C3", "2", "GND", 310, 245, Shape::Round, kRadial + 4, kRadial + 4, 6},
    {"C4", "1", "VCC", 745, 400, Shape::Smd, 24, 18, 0},
    {"C4", "2", "GND", 745, 360, Shape::Smd, 24, 18, 0},
    {"R3", "1", "OUT", 1000, 760, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"R3", "2", "BASE", 1120, 760, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"R4", "1", "OUT", 500, 640, Shape::Smd, 18, 24, 0},
    {"R4", "2", "LED_A", 460, 640, Shape::Smd, 18, 24, 0},
    {"R5", "1", "BASE", 1120, 850, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"R5", "2", "GND", 1240, 850, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"D2", "1", "GND", 360, 640, Shape::Smd, 18, 24, 0},
    {"D2", "2", "LED_A", 400, 640, Shape::Smd, 18, 24, 0},
    {"Q1", "1", "GND", 1180, 620, Shape::Oblong, 32, 20, 4},
    {"Q1", "2", "BASE", 1180, 590, Shape::Oblong, 32, 20, 4},
    {"Q1", "3", "LOAD", 1180, 560, Shape::Oblong, 32, 20, 4},
    {"D1", "1", "VCC", 1180, 265, Shape::Square, kAxial, kAxial, kAxialDrill},
    {"D1", "2", "LOAD", 1180, 385, Shape::Round, kAxial, kAxial, kAxialDrill},
    {"J1", "1", "VCC", 130, 440, Shape::Square, kTerminal, kTerminal, kTerminalDrill},
    {"J1", "2", "GND", 130, 500, Shape::Round, kTerminal, kTerminal, kTerminalDrill},
    {"J2", "1", "VCC", 1270, 420, Shape::Square, kTerminal, kTerminal, kTerminalDrill},
    {"J2", "2", "LOAD", 1270, 480, Shape::Round, kTerminal, kTerminal, kTerminalDrill},
};

// What the export needs of each component: the symbol's position in Lib/sch.lb (RES 0, CAP 1, ELECTRO 2,
// DIODE 3, LED 4, NPN 5, PNP 6, CON2 7, CON4 8, IC8 9, IC14 10, IC16 11), part type and footprint of
// Lib/pcb.lb.
struct Component {
    const char* designator;
    const char* symbol;
    const char* partType;
    const char* footprint;
};

const std::vector<Component> kComponents = {
    {"U1", "9", "NE555", "DIP8"},    {"R1", "0", "10k", "AXIAL0.4"},    {"RV1", "0", "100k", "VR5"},
    {"R2", "0", "47k", "AXIAL0.4"},  {"C1", "2", "10uF", "RB.2/.4"},    {"C2", "1", "10nF", "RAD0.2"},
    {"C3", "2", "100uF", "RB.2/.4"}, {"C4", "1", "100nF", "1206"},      {"R3", "0", "1k", "AXIAL0.4"},
    {"R4", "0", "1k", "1206"},       {"R5", "0", "10k", "AXIAL0.4"},    {"D2", "4", "RED", "1206"},
    {"Q1", "5", "BC337", "TO-92A"},  {"D1", "3", "1N4148", "DIODE0.4"}, {"J1", "7", "SUPPLY", "SIP2"},
    {"J2", "7", "LOAD", "SIP2"},
};

// Fills the demo keeps as traces: a seed on the copper of one layer (board coordinates of picture 1), and
// the colour it is painted with. The record's original colour is read from the written scan.
struct TraceSeed {
    Side side;
    std::string net;
    QPoint at;
    int fillColour;  // packed 0x00BBGGRR
};

const std::vector<Via> kVias = {
    {"VCC", 590, 180}, {"VCC", 745, 180}, {"GND", 420, 885}, {"GND", 700, 885}, {"GND", 880, 885},
};

// Widths: 20 for the supply rail, 12 to 16 for its drops, the load current and the ground return, 10 for
// signals, 8 for the LED.
const std::vector<Track> kTracks = {
    // Top: the VCC rail and its short drops, solid ties from the supply's GND pads into the pour (no
    // thermal bottleneck where the current enters), the OUT and LED wiring.
    {Side::Top, "VCC", 20, {{130, 440}, {130, 180}, {1270, 180}, {1270, 420}}},
    {Side::Top, "VCC", 14, {{240, 180}, {240, 245}}},
    {Side::Top, "VCC", 12, {{850, 180}, {850, 235}}},
    {Side::Top, "VCC", 12, {{1180, 180}, {1180, 265}}},
    {Side::Top, "VCC", 12, {{745, 455}, {745, 400}}},
    {Side::Top, "GND", 16, {{130, 500}, {215, 500}}},
    {Side::Top, "GND", 16, {{310, 245}, {310, 320}}},
    {Side::Top, "OUT", 10, {{655, 515}, {600, 515}, {600, 800}, {975, 800}, {1000, 775}, {1000, 760}}},
    {Side::Top, "OUT", 10, {{600, 640}, {500, 640}}},
    {Side::Top, "LED_A", 8, {{460, 640}, {400, 640}}},
    // Bottom: VCC from the rail vias down to U1.
    {Side::Bottom, "VCC", 14, {{590, 180}, {590, 545}, {655, 545}}},
    {Side::Bottom, "VCC", 14, {{745, 180}, {745, 455}}},
    // Timing network.
    {Side::Bottom, "DISCH", 10, {{745, 485}, {960, 485}}},
    {Side::Bottom, "DISCH", 10, {{850, 485}, {850, 355}}},
    {Side::Bottom, "RV_W", 10, {{1010, 405}, {1060, 455}, {1060, 485}, {1060, 565}, {1035, 590}, {970, 590}}},
    {Side::Bottom, "THR", 10, {{655, 485}, {700, 485}, {700, 515}, {745, 515}}},
    {Side::Bottom, "THR", 10, {{745, 515}, {800, 515}, {800, 590}, {850, 590}, {850, 680}}},
    {Side::Bottom, "CTRL", 10, {{745, 545}, {745, 640}}},
    // Output stage.
    {Side::Bottom, "BASE", 10, {{1180, 590}, {1140, 590}, {1120, 610}, {1120, 850}}},
    {Side::Bottom, "LOAD", 16, {{1180, 385}, {1180, 560}}},
    {Side::Bottom, "LOAD", 16, {{1180, 480}, {1270, 480}}},
    // Ground return along the lower edge, stitched to the top pour by the vias.
    {Side::Bottom, "GND", 16, {{1180, 620}, {1240, 680}, {1240, 850}}},
    {Side::Bottom, "GND", 16, {{1240, 850}, {1240, 885}, {200, 885}, {130, 815}, {130, 500}}},
    {Side::Bottom, "GND", 12, {{850, 740}, {880, 770}, {880, 885}}},
};

// The pour is the ground plane of the top side, everywhere below the supply rail. Its outline may overlap
// anything: every foreign feature is cut out of it with clearance.
const std::vector<QPointF> kPourOutline = {{90, 208},   {1310, 208}, {1330, 228}, {1330, 910},
                                           {1310, 930}, {90, 930},   {70, 910},   {70, 228}};
constexpr const char* kPourNet = "GND";

const std::vector<Label> kLabels = {
    {Side::Top, "KV-555 FLASHER", 470, 104, 4.5},
    {Side::Bottom, "KV-555", 260, 690, 5},
    {Side::Bottom, "REV B", 270, 740, 5},
};

// ---- Stroke font ---------------------------------------------------------------------------------------

// Etched board text is drawn with strokes on a 4 x 6 grid, like a CAM stroke font: no system font is
// needed, so the pictures come out the same on every machine.
std::vector<std::vector<QPointF>> glyph(char c) {
    switch (c) {
        case 'A':
            return {{{0, 6}, {0, 2}, {2, 0}, {4, 2}, {4, 6}}, {{0, 3.6}, {4, 3.6}}};
        case 'B':
            return {{{0, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}}};
        case 'E':
            return {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}};
        case 'F':
            return {{{4, 0}, {0, 0}, {0, 6}}, {{0, 3}, {3, 3}}};
        case 'H':
            return {{{0, 0}, {0, 6}}, {{4, 0}, {4, 6}}, {{0, 3}, {4, 3}}};
        case 'K':
            return {{{0, 0}, {0, 6}}, {{4, 0}, {0, 4}}, {{1.4, 2.6}, {4, 6}}};
        case 'L':
            return {{{0, 0}, {0, 6}, {4, 6}}};
        case 'R':
            return {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}, {{2, 3}, {4, 6}}};
        case 'S':
            return {{{4, 0.8},
                     {3.2, 0},
                     {0.8, 0},
                     {0, 0.8},
                     {0, 2.2},
                     {0.8, 3},
                     {3.2, 3},
                     {4, 3.8},
                     {4, 5.2},
                     {3.2, 6},
                     {0.8, 6},
                     {0, 5.2}}};
        case 'V':
            return {{{0, 0}, {2, 6}, {4, 0}}};
        case '5':
            return {{{4, 0}, {0.3, 0}, {0, 2.8}, {2.9, 2.6}, {4, 3.6}, {4, 5}, {3, 6}, {0.8, 6}, {0, 5.3}}};
        case '-':
            return {{{0.8, 3.2}, {3.2, 3.2}}};
        default:
            return {};
    }
}

constexpr double kGlyphAdvance = 6;
constexpr double kGlyphStroke = 0.85;

// Strokes of a label in board coordinates. Text on the solder side reads correctly from below, so in
// the top view of board coordinates it is mirrored; the face-down scan of picture 2 shows it readable.
std::vector<std::vector<QPointF>> labelStrokes(const Label& label) {
    std::vector<std::vector<QPointF>> strokes;
    const std::string text = label.text;
    const double width = (double(text.size()) * kGlyphAdvance - 2) * label.unit;
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (const auto& stroke : glyph(text[i])) {
            std::vector<QPointF> points;
            for (QPointF p : stroke) {
                double x = (double(i) * kGlyphAdvance + p.x()) * label.unit;
                if (label.side == Side::Bottom) {
                    x = width - x;
                }
                points.emplace_back(label.x + x, label.y + p.y() * label.unit);
            }
            strokes.push_back(points);
        }
    }
    return strokes;
}

QRectF labelBounds(const Label& label) {
    const double pad = label.unit * kGlyphStroke;
    const double width = (double(std::string(label.text).size()) * kGlyphAdvance - 2) * label.unit;
    return QRectF(label.x - pad, label.y - pad, width + 2 * pad, 6 * label.unit + 2 * pad);
}

// ---- Drawing the copper --------------------------------------------------------------------------------

// Paints a pad's copper grown by `grow` on every side: the clearance cut of the pour is the same shape,
// only larger, with rounded corners as an etch leaves them.
void paintPad(QPainter& painter, const Pad& pad, double grow) {
    const double w = pad.w + 2 * grow;
    const double h = (pad.shape == Shape::Round ? pad.w : pad.h) + 2 * grow;
    const QRectF rect(pad.x - w / 2, pad.y - h / 2, w, h);
    switch (pad.shape) {
        case Shape::Round:
            painter.drawEllipse(rect);
            break;
        case Shape::Oblong:
            painter.drawRoundedRect(rect, std::min(w, h) / 2, std::min(w, h) / 2);
            break;
        case Shape::Square:
            painter.drawRoundedRect(rect, grow + 1, grow + 1);
            break;
        case Shape::Smd:
            painter.drawRoundedRect(rect, grow + 2, grow + 2);
            break;
    }
}

void paintPolyline(QPainter& painter, const std::vector<QPointF>& points, double width,
                   const QColor& colour) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(points.data(), int(points.size()));
}

// Right-angle bends are drawn with a 45-degree cut, as a router would leave them; the table keeps the
// plain corner points so that it stays easy to read and to extend.
std::vector<QPointF> chamfered(const std::vector<QPointF>& points, double cut) {
    if (points.size() < 3) {
        return points;
    }
    std::vector<QPointF> out = {points.front()};
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const QPointF in = points[i] - points[i - 1], on = points[i + 1] - points[i];
        const double lin = std::hypot(in.x(), in.y()), lon = std::hypot(on.x(), on.y());
        const double cosine = QPointF::dotProduct(in, on) / (lin * lon);
        if (std::abs(cosine) > 0.01) {
            out.push_back(points[i]);
            continue;
        }
        const double k = std::min({cut, lin / 2, lon / 2});
        out.push_back(points[i] - in * (k / lin));
        out.push_back(points[i] + on * (k / lon));
    }
    out.push_back(points.back());
    return out;
}

void paintTracks(QPainter& painter, Side side, const QColor& colour, double grow,
                 const char* skipNet = nullptr) {
    for (const Track& track : kTracks) {
        if (track.side == side && (skipNet == nullptr || std::string(track.net) != skipNet)) {
            paintPolyline(painter, chamfered(track.points, std::max(12.0, 1.2 * track.width)),
                          track.width + 2 * grow, colour);
        }
    }
}

void paintLabels(QPainter& painter, Side side, const QColor& colour, double grow) {
    for (const Label& label : kLabels) {
        if (label.side == side) {
            for (const auto& stroke : labelStrokes(label)) {
                paintPolyline(painter, stroke, label.unit * kGlyphStroke + 2 * grow, colour);
            }
        }
    }
}

QImage blankMask(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

// The ground pour of the top side: the outline minus every foreign feature with clearance, the GND
// through-hole pads joined by four spokes so that they can still be soldered.
void paintPour(QPainter& painter, const QTransform& toPicture, QSize size) {
    QImage pour = blankMask(size);
    QPainter p(&pour);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(toPicture);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(kPourOutline.data(), int(kPourOutline.size()));

    // Ground pads first get their clearance ring and spokes; the cuts around foreign copper come after,
    // so that a spoke pointing at a neighbouring pin of another net is cut back instead of shorting it.
    const double c = kPourClearance;
    p.setBrush(Qt::black);
    for (const Pad& pad : kPads) {
        if (std::string(pad.net) == kPourNet && pad.shape != Shape::Smd) {
            paintPad(p, pad, c);
        }
    }
    QPainterPath outline;
    outline.addPolygon(QPolygonF(QList<QPointF>(kPourOutline.begin(), kPourOutline.end())));
    p.setClipPath(outline);
    for (const Pad& pad : kPads) {
        if (std::string(pad.net) == kPourNet && pad.shape != Shape::Smd) {
            const double across = pad.w / 2 + c + 2;
            const double down = (pad.shape == Shape::Round ? pad.w : pad.h) / 2 + c + 2;
            paintPolyline(p, {{pad.x - across, pad.y}, {pad.x + across, pad.y}}, kSpokeWidth, Qt::white);
            paintPolyline(p, {{pad.x, pad.y - down}, {pad.x, pad.y + down}}, kSpokeWidth, Qt::white);
        }
    }
    p.setClipping(false);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const Pad& pad : kPads) {
        if (pad.onSide(Side::Top) && std::string(pad.net) != kPourNet) {
            paintPad(p, pad, c);
        }
    }
    for (const Via& via : kVias) {
        if (std::string(via.net) != kPourNet) {
            p.drawEllipse(QPointF(via.x, via.y), kViaSize / 2 + c, kViaSize / 2 + c);
        }
    }
    for (QPointF hole : kMountingHoles) {
        p.drawEllipse(hole, kMountDrill + c, kMountDrill + c);
    }
    paintTracks(p, Side::Top, Qt::black, c, kPourNet);
    paintLabels(p, Side::Top, Qt::black, c);
    p.end();
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_Lighten);
    painter.drawImage(0, 0, pour);
    painter.restore();
}

// White where a side has copper, in the pixels of a picture whose board placement is `toPicture`.
// Holes are not cut here: the scan shows them separately, with their plated barrels.
QImage copperMask(Side side, const QTransform& toPicture, QSize size, bool padsOnly = false) {
    QImage mask = blankMask(size);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    if (side == Side::Top && !padsOnly) {
        paintPour(painter, toPicture, size);
    }
    painter.setTransform(toPicture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const Pad& pad : kPads) {
        if (pad.onSide(side)) {
            paintPad(painter, pad, 0);
        }
    }
    for (const Via& via : kVias) {
        painter.drawEllipse(QPointF(via.x, via.y), kViaSize / 2, kViaSize / 2);
    }
    if (!padsOnly) {
        paintTracks(painter, side, Qt::white, 0);
        paintLabels(painter, side, Qt::white, 0);
    }
    return mask;
}

struct Drill {
    QPointF centre;  // board coordinates
    double radius;
    bool plated;
};

std::vector<Drill> drills() {
    std::vector<Drill> all;
    for (const Pad& pad : kPads) {
        if (pad.drill > 0) {
            all.push_back({{pad.x, pad.y}, pad.drill, true});
        }
    }
    for (const Via& via : kVias) {
        all.push_back({{via.x, via.y}, kViaDrill, true});
    }
    for (QPointF hole : kMountingHoles) {
        all.push_back({hole, kMountDrill, false});
    }
    return all;
}

QImage drillMask(const QTransform& toPicture, QSize size) {
    QImage mask = blankMask(size);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toPicture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const Drill& drill : drills()) {
        painter.drawEllipse(drill.centre, drill.radius, drill.radius);
    }
    return mask;
}

QImage boardMask(const QTransform& toPicture, QSize size) {
    QImage mask = blankMask(size);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toPicture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(kBoard, kBoardCorner, kBoardCorner);
    return mask;
}

// ---- Self-check of the copper --------------------------------------------------------------------------

class Plane {
  public:
    Plane(int width, int height, float value = 0)
        : w_(width), h_(height), v_(std::size_t(width) * height, value) {}
    explicit Plane(const QImage& mask) : Plane(mask.width(), mask.height()) {
        for (int y = 0; y < h_; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < w_; ++x) {
                at(x, y) = float(qRed(line[x])) / 255.0f;
            }
        }
    }
    int width() const { return w_; }
    int height() const { return h_; }
    float& at(int x, int y) { return v_[std::size_t(y) * w_ + x]; }
    float at(int x, int y) const { return v_[std::size_t(y) * w_ + x]; }
    float clamped(int x, int y) const { return at(std::clamp(x, 0, w_ - 1), std::clamp(y, 0, h_ - 1)); }

    // Box blur, repeated: three passes come close to a Gaussian.
    Plane blurred(int radius, int passes) const {
        Plane a = *this;
        for (int pass = 0; pass < passes; ++pass) {
            Plane b(w_, h_);
            for (int y = 0; y < h_; ++y) {
                for (int x = 0; x < w_; ++x) {
                    float sum = 0;
                    for (int d = -radius; d <= radius; ++d) {
                        sum += a.clamped(x + d, y);
                    }
                    b.at(x, y) = sum / float(2 * radius + 1);
                }
            }
            for (int y = 0; y < h_; ++y) {
                for (int x = 0; x < w_; ++x) {
                    float sum = 0;
                    for (int d = -radius; d <= radius; ++d) {
                        sum += b.clamped(x, y + d);
                    }
                    a.at(x, y) = sum / float(2 * radius + 1);
                }
            }
        }
        return a;
    }

    // 1 wherever copper (value >= 0.5) lies within `radius` pixels, else 0.
    Plane dilated(int radius) const {
        Plane out(w_, h_);
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) {
                if (at(x, y) < 0.5f) {
                    continue;
                }
                for (int dy = -radius; dy <= radius; ++dy) {
                    for (int dx = -radius; dx <= radius; ++dx) {
                        const int tx = x + dx, ty = y + dy;
                        if (dx * dx + dy * dy <= radius * radius && tx >= 0 && ty >= 0 && tx < w_ &&
                            ty < h_) {
                            out.at(tx, ty) = 1;
                        }
                    }
                }
            }
        }
        return out;
    }

  private:
    int w_, h_;
    std::vector<float> v_;
};

// Connected copper areas of one layer (holes cut out), numbered from 1; 0 is bare board.
struct Areas {
    int width = 0, height = 0;
    std::vector<int> id;
    std::vector<QPoint> firstPixel;  // by area number
    int at(QPoint p) const {
        return p.x() < 0 || p.y() < 0 || p.x() >= width || p.y() >= height
                   ? 0
                   : id[std::size_t(p.y()) * width + p.x()];
    }
};

Areas findAreas(const Plane& copper, const Plane& holes) {
    Areas areas;
    areas.width = copper.width();
    areas.height = copper.height();
    areas.id.assign(std::size_t(areas.width) * areas.height, 0);
    areas.firstPixel.emplace_back();
    auto isCopper = [&](int x, int y) { return copper.at(x, y) >= 0.5f && holes.at(x, y) < 0.5f; };
    std::vector<QPoint> stack;
    for (int y = 0; y < areas.height; ++y) {
        for (int x = 0; x < areas.width; ++x) {
            if (!isCopper(x, y) || areas.id[std::size_t(y) * areas.width + x] != 0) {
                continue;
            }
            const int number = int(areas.firstPixel.size());
            areas.firstPixel.emplace_back(x, y);
            stack.assign(1, QPoint(x, y));
            areas.id[std::size_t(y) * areas.width + x] = number;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                const std::array<QPoint, 4> next = {QPoint(p.x() + 1, p.y()), QPoint(p.x() - 1, p.y()),
                                                    QPoint(p.x(), p.y() + 1), QPoint(p.x(), p.y() - 1)};
                for (QPoint n : next) {
                    if (n.x() >= 0 && n.y() >= 0 && n.x() < areas.width && n.y() < areas.height &&
                        isCopper(n.x(), n.y()) && areas.id[std::size_t(n.y()) * areas.width + n.x()] == 0) {
                        areas.id[std::size_t(n.y()) * areas.width + n.x()] = number;
                        stack.push_back(n);
                    }
                }
            }
        }
    }
    return areas;
}

// A point on the copper ring of a pad or via, right of its hole.
QPointF ringPoint(double x, double y, double drill, double halfSize) {
    return {x + (drill + halfSize) / 2, y};
}

struct Feature {
    std::string what;  // "U1.3" or "via 590,180"
    std::string net;
    QPointF ring;  // board coordinates of a copper point
    bool throughHole;
    bool smdOnly;
};

std::vector<Feature> features() {
    std::vector<Feature> all;
    for (const Pad& pad : kPads) {
        const double half = std::min(pad.w, pad.shape == Shape::Round ? pad.w : pad.h) / 2;
        all.push_back({std::string(pad.comp) + "." + pad.name, pad.net,
                       ringPoint(pad.x, pad.y, pad.drill, half), pad.drill > 0, pad.shape == Shape::Smd});
    }
    for (const Via& via : kVias) {
        all.push_back({"via " + std::to_string(int(via.x)) + "," + std::to_string(int(via.y)), via.net,
                       ringPoint(via.x, via.y, kViaDrill, kViaSize / 2), true, false});
    }
    return all;
}

// Every net must be one group of copper joined through plated holes, no group may hold two nets, and no
// copper may float unconnected. With `reach` > 0 the copper is first grown by that many pixels, which
// turns every gap narrower than twice the reach into a short: an etch that close would bridge, and the
// scan's blur would let a flood fill leak across. Returns the problems found, empty when the board is sound.
std::vector<std::string> checkCopper(int reach) {
    const QSize size(kWidth1, kHeight1);
    const Plane holes(drillMask(QTransform(), size));
    auto areasOf = [&](Side side) {
        const Plane copper(copperMask(side, QTransform(), size));
        return findAreas(reach > 0 ? copper.dilated(reach) : copper, holes);
    };
    const std::array<Areas, 2> layers = {areasOf(Side::Top), areasOf(Side::Bottom)};
    const int topCount = int(layers[0].firstPixel.size());
    std::vector<int> parent(std::size_t(topCount) + layers[1].firstPixel.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int n) {
        while (parent[std::size_t(n)] != n) {
            n = parent[std::size_t(n)] = parent[std::size_t(parent[std::size_t(n)])];
        }
        return n;
    };

    std::vector<std::string> problems;
    std::set<int> used;
    std::vector<std::pair<const Feature*, int>> placed;  // feature and its group node
    const std::vector<Feature> all = features();
    for (const Feature& f : all) {
        const QPoint probe = f.ring.toPoint();
        const int top = layers[0].at(probe);
        const int bottom = f.smdOnly ? 0 : layers[1].at(probe);
        if (top == 0 || (!f.smdOnly && bottom == 0)) {
            problems.push_back(f.what + " has no copper around its centre");
            continue;
        }
        used.insert(top);
        if (!f.smdOnly) {
            used.insert(topCount + bottom);
            if (f.throughHole) {
                parent[std::size_t(find(topCount + bottom))] = find(top);
            }
        }
        placed.emplace_back(&f, top);
    }

    std::map<std::string, int> netGroup;
    std::map<int, std::string> groupNet;
    for (const auto& [f, node] : placed) {
        const int group = find(node);
        auto [net, fresh] = netGroup.emplace(f->net, group);
        if (!fresh && net->second != group && reach == 0) {
            problems.push_back("net " + f->net + " is cut apart at " + f->what);
        }
        auto [owner, first] = groupNet.emplace(group, f->net);
        if (!first && owner->second != f->net) {
            problems.push_back(reach == 0 ? f->what + " shorts " + f->net + " to " + owner->second
                                          : f->what + " (" + f->net + ") comes closer than " +
                                                std::to_string(2 * reach) + " pixels to " + owner->second);
        }
    }

    // Copper that no pad or via reaches is an island, unless it is a letter of a label.
    for (int layer = 0; layer < 2 && reach == 0; ++layer) {
        const Side side = layer == 0 ? Side::Top : Side::Bottom;
        for (int n = 1; n < int(layers[std::size_t(layer)].firstPixel.size()); ++n) {
            if (used.count(layer == 0 ? n : topCount + n) != 0) {
                continue;
            }
            const QPoint p = layers[std::size_t(layer)].firstPixel[std::size_t(n)];
            const bool inLabel = std::any_of(kLabels.begin(), kLabels.end(), [&](const Label& label) {
                return label.side == side && labelBounds(label).contains(p);
            });
            if (!inLabel) {
                problems.push_back(std::string(layer == 0 ? "top" : "bottom") + " copper island at " +
                                   std::to_string(p.x()) + "," + std::to_string(p.y()));
            }
        }
    }
    return problems;
}

// One kept fill for every copper area of each side that a pad or via reaches, so that the connectivity check
// of the shipped project finds every pad on traced copper and nothing wrong. The seed is the first pixel
// in reading order whose whole neighbourhood of kSeedMargin pixels lies in the area: well inside the copper,
// where the scan shows the copper's own colour and not the blur of an edge, also on the turned second scan.
// Each net keeps one colour on both sides.
std::vector<TraceSeed> traceSeeds() {
    constexpr int kSeedMargin = 3;
    const std::array<int, 6> palette = {65535, 16711935, 16776960, 65280, 255, 16711680};
    const QSize size(kWidth1, kHeight1);
    const Plane holes(drillMask(QTransform(), size));
    const std::vector<Feature> all = features();
    std::map<std::string, int> colours;
    for (const Feature& f : all) {
        colours.emplace(f.net, palette[colours.size() % palette.size()]);
    }
    std::vector<TraceSeed> seeds;
    for (const Side side : {Side::Top, Side::Bottom}) {
        const Areas areas = findAreas(Plane(copperMask(side, QTransform(), size)), holes);
        std::map<int, std::string> netOf;
        for (const Feature& f : all) {
            if (side == Side::Top || !f.smdOnly) {
                netOf.emplace(areas.at(f.ring.toPoint()), f.net);
            }
        }
        netOf.erase(0);
        auto inside = [&](int x, int y, int area, int margin) {
            for (int dy = -margin; dy <= margin; ++dy) {
                for (int dx = -margin; dx <= margin; ++dx) {
                    if (areas.at(QPoint(x + dx, y + dy)) != area) {
                        return false;
                    }
                }
            }
            return true;
        };
        // A narrow ring of a pad that nothing joins on this side has no room for the full margin.
        std::map<int, QPoint> seedOf;
        for (int margin = kSeedMargin; margin >= 0 && seedOf.size() < netOf.size(); --margin) {
            for (int y = 0; y < areas.height; ++y) {
                for (int x = 0; x < areas.width; ++x) {
                    const int area = areas.at(QPoint(x, y));
                    if (netOf.count(area) != 0 && seedOf.count(area) == 0 && inside(x, y, area, margin)) {
                        seedOf.emplace(area, QPoint(x, y));
                    }
                }
            }
        }
        for (const auto& [area, net] : netOf) {
            if (seedOf.count(area) != 0) {
                seeds.push_back({side, net, seedOf[area], colours[net]});
            }
        }
    }
    return seeds;
}

// ---- The scan ------------------------------------------------------------------------------------------

// Deterministic hashing noise: the same pixel always gets the same grain, whatever the order of work.
std::uint64_t mix(std::uint64_t z) {
    z += 0x9e3779b97f4a7c15u;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

double hashUnit(std::int64_t x, std::int64_t y, std::uint64_t salt) {
    const std::uint64_t h = mix(mix(std::uint64_t(x) * 0x632be59bd9b4e019u ^ salt) + std::uint64_t(y));
    return double(h >> 11) / double(1ull << 53);
}

// Smooth value noise in -1..1 with the given feature size in pixels.
double valueNoise(double x, double y, double cell, std::uint64_t salt) {
    const double gx = x / cell, gy = y / cell;
    const auto ix = std::int64_t(std::floor(gx)), iy = std::int64_t(std::floor(gy));
    const double fx = gx - double(ix), fy = gy - double(iy);
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto corner = [&](std::int64_t cx, std::int64_t cy) { return 2 * hashUnit(cx, cy, salt) - 1; };
    const double top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * sx;
    const double bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

// Three octaves, each on its own turned grid, so that the lattice of the value noise never shows.
double mottle(double x, double y, double cell, std::uint64_t salt) {
    auto turned = [&](double angle, double size, std::uint64_t s) {
        const double c = std::cos(angle), n = std::sin(angle);
        return valueNoise(x * c - y * n, x * n + y * c, size, s);
    };
    return 0.55 * turned(0.37, cell, salt) + 0.3 * turned(1.21, cell / 2.3, salt + 1) +
           0.15 * turned(2.03, cell / 5.1, salt + 2);
}

struct Rgb {
    double r, g, b;
    Rgb operator*(double k) const { return {r * k, g * k, b * k}; }
    Rgb operator+(const Rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Rgb operator-(const Rgb& o) const { return {r - o.r, g - o.g, b - o.b}; }
};

Rgb mixRgb(const Rgb& a, const Rgb& b, double t) {
    return a + (b - a) * t;
}
QColor toColour(const Rgb& c) {
    return QColor(int(c.r), int(c.g), int(c.b));
}

// What one scan of one side looks like. The fill compares colours as one packed number in which blue
// dominates, so copper may vary freely in red and green (tarnish, scratches) but only by about 4 % in
// blue: then a 10 % fill started anywhere on a copper area never stalls before its end.
struct Look {
    Rgb lid;                       // scanner lid around the board and through the mounting holes
    Rgb substrate;                 // FR4
    Rgb showThrough;               // added where the other side has copper
    Rgb copper;                    // bare or tinned copper
    Rgb tarnish;                   // colour shift per unit of slow surface noise
    Rgb grit;                      // colour shift per unit of fine surface noise
    double gritAlong, gritAcross;  // feature sizes of the fine noise: long thin scratches or round lumps
    Rgb padExtra;                  // added in the middle of pads (solder left on the tinned side)
    Rgb barrel;                    // the plated wall of a hole
    Rgb well;                      // the inside of a small hole
    Rgb tint;                      // scanner colour balance
    double substrateMottle;        // relative unevenness of the laminate's colour
    double lampFalloff;            // relative loss of light at the ends of the scan line
    double grain;                  // sensor noise, in levels of 255
    std::uint64_t salt;            // seeds every noise of this scan
};

// Top: bare copper, cleaned with an abrasive pad, slightly tarnished in patches.
const Look kTopLook = {
    .lid = {226, 227, 222},
    .substrate = {122, 113, 63},
    .showThrough = {15, 11, 3},
    .copper = {214, 138, 106},
    .tarnish = {15, 12, 1.0},
    .grit = {7, 5, 0.6},
    .gritAlong = 45,
    .gritAcross = 2.2,
    .padExtra = {0, 0, 0},
    .barrel = {112, 70, 50},
    .well = {70, 46, 34},
    .tint = {1.0, 0.995, 0.985},
    .substrateMottle = 0.05,
    .lampFalloff = 0.012,
    .grain = 1.3,
    .salt = kSeed,
};
// Bottom: hot-air tinned copper, lumpy, with solder domes on the pads; another day, another colour balance.
const Look kBottomLook = {
    .lid = {223, 226, 228},
    .substrate = {108, 106, 62},
    .showThrough = {12, 11, 5},
    .copper = {176, 175, 168},
    .tarnish = {6, 6, 3},
    .grit = {8, 8, 4},
    .gritAlong = 6,
    .gritAcross = 6,
    .padExtra = {5, 5, 4},
    .barrel = {112, 108, 100},
    .well = {56, 56, 56},
    .tint = {0.975, 1.0, 1.02},
    .substrateMottle = 0.06,
    .lampFalloff = 0.012,
    .grain = 1.5,
    .salt = kSeed * 31 + 7,
};

// Paints the holes into the composed board. A small plated hole is a narrow well: little of the lid's
// light comes back out of it, so it scans dark inside its plated wall; a large unplated mounting hole
// shows the lid, framed by the bare glass fibre of its edge.
void paintHoles(QImage& image, const QTransform& toPicture, const Look& look) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toPicture);
    painter.setPen(Qt::NoPen);
    for (const Drill& drill : drills()) {
        QRadialGradient gradient(drill.centre, drill.radius,
                                 drill.centre + QPointF(0.25, -0.4) * drill.radius);
        if (drill.plated) {
            gradient.setColorAt(0, toColour(look.well * 1.15));
            gradient.setColorAt(0.55, toColour(look.well));
            gradient.setColorAt(0.8, toColour(look.barrel * 0.8));
            gradient.setColorAt(1, toColour(look.barrel));
        } else {
            const Rgb through = look.lid * 0.86;
            gradient.setColorAt(0, toColour(through * 1.02));
            gradient.setColorAt(0.8, toColour(through));
            gradient.setColorAt(1, toColour(look.substrate * 0.7));
        }
        painter.setBrush(gradient);
        painter.drawEllipse(drill.centre, drill.radius, drill.radius);
    }
}

// Dust on the glass: small dark specks anywhere, fibres only on the lid where they cannot cut a track.
void paintDust(QImage& image, const Plane& board, std::uint64_t salt) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    std::uint64_t state = salt;
    auto next = [&state] {
        state = mix(state);
        return double(state >> 11) / double(1ull << 53);
    };
    for (int i = 0; i < 70; ++i) {
        const QPointF at(next() * image.width(), next() * image.height());
        const double r = 0.5 + next() * 1.1;
        painter.setBrush(QColor(50, 48, 46, int(90 + next() * 110)));
        painter.drawEllipse(at, r, r);
    }
    for (int i = 0; i < 8; ++i) {
        QPointF p(next() * image.width(), next() * image.height());
        if (board.at(int(p.x()), int(p.y())) > 0) {
            continue;
        }
        QPainterPath fibre(p);
        double heading = next() * 6.283;
        for (int step = 0; step < 12; ++step) {
            heading += (next() - 0.5) * 0.7;
            p += QPointF(std::cos(heading), std::sin(heading)) * 6;
            fibre.lineTo(p);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(90, 88, 86, 120), 0.9));
        painter.drawPath(fibre);
        painter.setPen(Qt::NoPen);
    }
}

// The scanner's optics are not perfectly sharp: a 3 x 3 binomial blur takes the drawn edge off.
QImage softened(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int r = 0, g = 0, b = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                const auto* src =
                    reinterpret_cast<const QRgb*>(image.constScanLine(std::clamp(y + dy, 0, h - 1)));
                for (int dx = -1; dx <= 1; ++dx) {
                    const int weight = (dx == 0 ? 2 : 1) * (dy == 0 ? 2 : 1);
                    const QRgb p = src[std::clamp(x + dx, 0, w - 1)];
                    r += weight * qRed(p);
                    g += weight * qGreen(p);
                    b += weight * qBlue(p);
                }
            }
            line[x] = qRgb((r + 8) / 16, (g + 8) / 16, (b + 8) / 16);
        }
    }
    return out;
}

QImage scan(Side side, const QTransform& toPicture, QSize size, const Look& look) {
    const Side other = side == Side::Top ? Side::Bottom : Side::Top;
    const Plane board(boardMask(toPicture, size));
    const Plane copper = Plane(copperMask(side, toPicture, size)).blurred(1, 1);
    const Plane pads = Plane(copperMask(side, toPicture, size, true)).blurred(3, 2);
    const Plane behind = Plane(copperMask(other, toPicture, size)).blurred(3, 3);
    // The board is 1.6 mm thick: the lamp, coming from one side, leaves a soft shadow along two edges.
    Plane shadow(size.width(), size.height());
    {
        const Plane soft = board.blurred(5, 3);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                shadow.at(x, y) = soft.clamped(x - 5, y - 6) * (1 - board.at(x, y));
            }
        }
    }

    // Scratches run along one direction, as the abrasive pad was moved.
    const double along = 0.42, cosA = std::cos(along), sinA = std::sin(along);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            Rgb c = look.lid * (1 - 0.4 * shadow.at(x, y));
            if (board.at(x, y) > 0) {
                // Glass weave: crossed fibre bundles about 0.5 mm apart, never quite straight.
                const double wx = 1.6 * valueNoise(x, y, 60, look.salt + 11);
                const double wy = 1.6 * valueNoise(x, y, 60, look.salt + 12);
                const double weave = 1.5 * std::sin(x * 1.02 + wx) * std::sin(y * 1.02 + wy);
                const double m = 1 + look.substrateMottle * mottle(x, y, 90, look.salt + 10);
                const Rgb fr4 =
                    look.substrate * m + Rgb{weave, weave, weave * 0.5} + look.showThrough * behind.at(x, y);
                c = mixRgb(c, fr4, board.at(x, y));
            }
            // Etched edges are never quite straight: wobble them by about a pixel, leaving the inside alone.
            double k = copper.at(x, y);
            k = std::clamp(k + 0.9 * k * (1 - k) * valueNoise(x, y, 2.7, look.salt + 22), 0.0, 1.0);
            if (k > 0) {
                const double u = x * cosA + y * sinA, v = y * cosA - x * sinA;
                const double grit = valueNoise(u / look.gritAlong, v / look.gritAcross, 1, look.salt + 21);
                const double dome = pads.at(x, y) * pads.at(x, y);
                const Rgb metal = look.copper + look.tarnish * mottle(x, y, 55, look.salt + 20) +
                                  look.grit * grit + look.padExtra * dome;
                c = mixRgb(c, metal, k);
            }
            line[x] = qRgb(int(std::lround(std::clamp(c.r, 0.0, 255.0))),
                           int(std::lround(std::clamp(c.g, 0.0, 255.0))),
                           int(std::lround(std::clamp(c.b, 0.0, 255.0))));
        }
    }
    paintHoles(image, toPicture, look);
    image = softened(image);

    // Lamp falloff towards the ends of the scan line, colour balance and sensor grain.
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double u = 2.0 * x / size.width() - 1;
            const double lamp = 1 - look.lampFalloff * u * u - 0.004 * double(y) / size.height();
            const double luma =
                look.grain * (hashUnit(x, y, look.salt + 30) + hashUnit(x, y, look.salt + 31) - 1);
            auto channel = [&](int value, double tint, std::uint64_t salt) {
                const double chroma = 0.8 * (hashUnit(x, y, look.salt + salt) - 0.5);
                return int(std::lround(std::clamp(value * lamp * tint + luma + chroma, 0.0, 255.0)));
            };
            const QRgb p = line[x];
            line[x] = qRgb(channel(qRed(p), look.tint.r, 40), channel(qGreen(p), look.tint.g, 41),
                           channel(qBlue(p), look.tint.b, 42));
        }
    }
    paintDust(image, board, look.salt + 50);

    // 300 dpi, as the first scan was made; the second one's stretch shows as a slightly finer resolution
    // along its axis: the pixels per board unit of a picture row and column, whatever the turn and mirror.
    constexpr double kDotsPerMetre = 300 / 0.0254;
    image.setDotsPerMeterX(int(std::lround(kDotsPerMetre * std::hypot(toPicture.m11(), toPicture.m21()))));
    image.setDotsPerMeterY(int(std::lround(kDotsPerMetre * std::hypot(toPicture.m12(), toPicture.m22()))));
    return image;
}

// ---- Output --------------------------------------------------------------------------------------------

// The single-precision scale keys carry 7 significant digits.
QString number(double value) {
    return QString::number(value, 'g', 7);
}

// The alignment's numbers: the shortest text that reads back to the same double.
QString exact(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return QString::fromLatin1(text.data(), int(end - text.data()));
}

// Whole pixels as the cursor mapping rounds them: to the nearest, halves to the even neighbour.
long whole(double value) {
    return std::lrint(value);
}

QPointF cursorHole() {
    for (const Pad& pad : kPads) {
        if (std::string(pad.comp) == kCursorComponent && std::string(pad.name) == kCursorPad) {
            return {pad.x, pad.y};
        }
    }
    return {};
}

// The packed colour 0x00BBGGRR of a scan's pixel, as the program reads it.
long packedColour(const QImage& image, QPoint p) {
    const QRgb rgb = image.pixel(p);
    return long(qRed(rgb)) | (long(qGreen(rgb)) << 8) | (long(qBlue(rgb)) << 16);
}

// Drill holes whose positions on both pictures make the alignment's point pairs: the four mounting
// holes in the corners and U1 pin 1 in the middle, which also tells a mirrored fit from a direct one.
std::vector<QPointF> alignmentHoles() {
    std::vector<QPointF> holes(kMountingHoles.begin(), kMountingHoles.end());
    holes.push_back(cursorHole());
    return holes;
}

// The project as the program itself would save it after aligning the layers, naming every pad,
// completing the component data and keeping a few fills: both cursors and the remembered positions on
// one pair of corresponding points. The scale keys hold the per-axis size of the mapping (its diagonal,
// without the mirror, which they cannot express), for readers that know nothing of the alignment. The
// scans are read back so that the traces' original colours are those of the JPEG pixels, not of the
// picture before compression.
QByteArray projectText(const QImage& topScan, const QImage& bottomScan) {
    const Affine alignment = bottomAlignment();
    const QPointF p1 = cursorHole();
    const QPointF p2 = toPicture2(p1);
    const QString x1 = QString::number(whole(p1.x())), y1 = QString::number(whole(p1.y()));
    const QString x2 = QString::number(whole(p2.x())), y2 = QString::number(whole(p2.y()));
    QStringList lines = {
        "[FilePathSection]",
        "First=top.jpg",
        "Second=bottom.jpg",
        "X=" + number(std::abs(alignment.a)),
        "Y=" + number(std::abs(alignment.e)),
        "OldX1=" + x1,
        "OldY1=" + y1,
        "OldX2=" + x2,
        "OldY2=" + y2,
        "X1=" + x1,
        "Y1=" + y1,
        "X2=" + x2,
        "Y2=" + y2,
        "",
    };
    int number = 0;
    for (const Pad& pad : kPads) {
        const QPointF at2 = toPicture2({pad.x, pad.y});
        lines << QString("[Pad%1]").arg(++number) << QString("PadName=") + pad.name
              << QString("NetName=") + pad.net << QString("CompName=") + pad.comp
              << QString("1Pad=%1,%2").arg(whole(pad.x)).arg(whole(pad.y))
              << QString("2Pad=%1,%2").arg(whole(at2.x())).arg(whole(at2.y()));
        if (pad.shape == Shape::Smd) {
            lines << "Layer=1";  // its marker on the solder side stands over whatever copper runs there
        }
        lines << "";
    }
    // Vias carry their net only: they join the two sides' copper for the check, and a pad without a
    // component is listed in no net of the export.
    for (const Via& via : kVias) {
        const QPointF at2 = toPicture2({via.x, via.y});
        lines << QString("[Pad%1]").arg(++number) << "PadName=" << QString("NetName=") + via.net
              << "CompName=" << QString("1Pad=%1,%2").arg(whole(via.x)).arg(whole(via.y))
              << QString("2Pad=%1,%2").arg(whole(at2.x())).arg(whole(at2.y())) << "";
    }
    lines << "[ComponentsSection]";
    for (const Component& component : kComponents) {
        lines << QString("%1=%2{label}%3{footprint}%4")
                     .arg(component.designator, component.symbol, component.partType, component.footprint);
    }
    lines << ""
          << "[TraceSection]";
    for (const TraceSeed& seed : traceSeeds()) {
        const bool top = seed.side == Side::Top;
        const QPointF at = top ? QPointF(seed.at) : toPicture2(QPointF(seed.at));
        const QPoint pixel(int(whole(at.x())), int(whole(at.y())));
        const long original = packedColour(top ? topScan : bottomScan, pixel);
        lines << QString("%1-%2-%3-%4=%5-0.1-0.1")
                     .arg(top ? 1 : 2)
                     .arg(pixel.x())
                     .arg(pixel.y())
                     .arg(original)
                     .arg(seed.fillColour);
    }
    lines << ""
          << "[AlignmentSection]"
          << "Matrix=" + QStringList{exact(alignment.a), exact(alignment.b), exact(alignment.c),
                                     exact(alignment.d), exact(alignment.e), exact(alignment.f)}
                             .join(',');
    const std::vector<QPointF> holes = alignmentHoles();
    lines << QString("Pairs=%1").arg(holes.size());
    for (std::size_t i = 0; i < holes.size(); ++i) {
        const QPointF at2 = alignment.map(holes[i]);
        lines << QString("Pair%1=%2,%3,%4,%5")
                     .arg(i + 1)
                     .arg(exact(holes[i].x()), exact(holes[i].y()), exact(at2.x()), exact(at2.y()));
    }
    lines << "";
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

void printList() {
    std::printf("# Demo board pads: centre on picture 1 (top.jpg) and on picture 2 (bottom.jpg)\n");
    const Affine m = bottomAlignment();
    std::printf(
        "# picture 2 = (a x + b y + c, d x + e y + f), rounded to whole pixels, with a..f =\n"
        "# %s, %s, %s, %s, %s, %s\n",
        qPrintable(number(m.a)), qPrintable(number(m.b)), qPrintable(number(m.c)), qPrintable(number(m.d)),
        qPrintable(number(m.e)), qPrintable(number(m.f)));
    std::printf("# comp\tpad\tnet\tx1\ty1\tx2\ty2\n");
    for (const Pad& pad : kPads) {
        const QPointF p2 = toPicture2({pad.x, pad.y});
        std::printf("%s\t%s\t%s\t%g\t%g\t%ld\t%ld\n", pad.comp, pad.name, pad.net, pad.x, pad.y,
                    whole(p2.x()), whole(p2.y()));
    }
    std::printf("# vias: net\tx1\ty1\tx2\ty2\n");
    for (const Via& via : kVias) {
        const QPointF p2 = toPicture2({via.x, via.y});
        std::printf("# via\t%s\t%g\t%g\t%ld\t%ld\n", via.net, via.x, via.y, whole(p2.x()), whole(p2.y()));
    }
}

bool writeJpeg(const QImage& image, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(kJpegQuality);
    writer.setOptimizedWrite(true);
    if (!writer.write(image)) {
        std::fprintf(stderr, "korvane-make-demo: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool writeFile(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "korvane-make-demo: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // image format plugins are found through the application
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith("-h") || args[0] == "--help") {
        std::fprintf(stderr,
                     "usage: korvane-make-demo FOLDER   write top.jpg, bottom.jpg and demo.kvp into FOLDER\n"
                     "       korvane-make-demo --list   print every pad on both pictures\n");
        return 2;
    }

    std::vector<std::string> problems = checkCopper(0);
    if (problems.empty()) {
        problems = checkCopper(kMinimumGap / 2);
    }
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "korvane-make-demo: %s\n", problem.c_str());
    }
    if (!problems.empty()) {
        return 1;
    }
    if (args[0] == "--list") {
        printList();
        return 0;
    }

    const QDir folder(args[0]);
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "korvane-make-demo: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    const QImage top = scan(Side::Top, QTransform(), QSize(kWidth1, kHeight1), kTopLook);
    const QImage bottom =
        scan(Side::Bottom, bottomAlignment().transform(), QSize(kWidth2, kHeight2), kBottomLook);
    if (!writeJpeg(top, folder.filePath("top.jpg")) || !writeJpeg(bottom, folder.filePath("bottom.jpg"))) {
        return 1;
    }
    const QImage topScan(folder.filePath("top.jpg"));
    const QImage bottomScan(folder.filePath("bottom.jpg"));
    return writeFile(projectText(topScan, bottomScan), folder.filePath("demo.kvp")) ? 0 : 1;
}
