// The nets as the panel lists them, the ratsnest, the panel following the project's pad edits, and the
// check window's lines.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <random>

#include "nets/CheckWindow.h"
#include "nets/DisjointSets.h"
#include "nets/NetList.h"
#include "nets/NetsPanel.h"
#include "nets/Ratsnest.h"
#include "project/PadCommands.h"
#include "project/Project.h"
#include "view/PictureBox.h"

namespace korvane {
namespace {

double length(const std::vector<RatsLine>& lines) {
    double sum = 0;
    for (const RatsLine& line : lines) {
        sum += std::hypot(line.to.x - line.from.x, line.to.y - line.from.y);
    }
    return sum;
}

// Whether the lines join every point into one tree (points are distinct).
bool spans(const std::vector<RatsPoint>& points, const std::vector<RatsLine>& lines) {
    DisjointSets<std::size_t> sets(points.size());
    auto index = [&](RatsPoint p) {
        return std::size_t(std::find(points.begin(), points.end(), p) - points.begin());
    };
    for (const RatsLine& line : lines) {
        const std::size_t a = index(line.from), b = index(line.to);
        if (a == points.size() || b == points.size() || sets.find(a) == sets.find(b)) {
            return false;  // not one of the points, or a cycle
        }
        sets.join(a, b);
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (sets.find(i) != sets.find(0)) {
            return false;
        }
    }
    return true;
}

// The minimum by Kruskal over all pairs: another way to the same total.
double kruskalLength(const std::vector<RatsPoint>& points) {
    struct Edge {
        double d;
        std::size_t a, b;
    };
    std::vector<Edge> edges;
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            edges.push_back({std::hypot(points[i].x - points[j].x, points[i].y - points[j].y), i, j});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.d < r.d; });
    DisjointSets<std::size_t> sets(points.size());
    double sum = 0;
    for (const Edge& e : edges) {
        if (sets.find(e.a) != sets.find(e.b)) {
            sets.join(e.a, e.b);
            sum += e.d;
        }
    }
    return sum;
}

TEST(Ratsnest, JoinsEveryPointByTheShortestTree) {
    struct Case {
        const char* what;
        std::vector<RatsPoint> points;
        double length;
    };
    const std::vector<Case> cases = {
        {"no point", {}, 0},
        {"one point", {{4, 5}}, 0},
        {"two points", {{0, 0}, {3, 4}}, 5},
        // Corners of a square and its centre: the star through the centre, not the square's sides.
        {"star", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}}, 4 * std::hypot(5.0, 5.0)},
        // Points on a line in no order: a chain from end to end.
        {"line", {{0, 0}, {9, 0}, {1, 0}, {10, 0}, {4, 0}}, 10},
    };
    for (const Case& c : cases) {
        const std::vector<RatsLine> lines = Ratsnest(c.points);
        EXPECT_EQ(lines.size(), c.points.empty() ? 0 : c.points.size() - 1) << c.what;
        EXPECT_NEAR(length(lines), c.length, 1e-9) << c.what;
        EXPECT_TRUE(spans(c.points, lines)) << c.what;
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    for (int round = 0; round < 5; ++round) {
        std::vector<RatsPoint> points(40);
        for (RatsPoint& p : points) {
            p = {coordinate(random), coordinate(random)};
        }
        const std::vector<RatsLine> lines = Ratsnest(points);
        EXPECT_TRUE(spans(points, lines));
        EXPECT_NEAR(length(lines), kruskalLength(points), 1e-6);
    }
}

// A project whose pads are placed and named through the history, as the pad dialog does it.
struct Board {
    Project project;
    void place(int n, double x, double y, const std::string& net) {
        // The second picture is the first one mirrored, so the two trees differ.
        ASSERT_TRUE(ApplyPadEdit(project, PlacePadEdit(n, {x, y, 500 - x, y}, kAllNameFields,
                                                       {std::to_string(n), net, "U1"}, std::nullopt)));
    }
    std::vector<std::pair<std::string, std::vector<int>>> nets() const {
        std::vector<std::pair<std::string, std::vector<int>>> out;
        const NetList list = NetList::Build(project.pads);
        for (const NetEntry& net : list.nets()) {
            out.emplace_back(net.name, net.pads);
        }
        return out;
    }
};

TEST(NetList, GroupsNamesAsTheExportDoesWithUnnamedPadsLast) {
    Board board;
    board.place(1, 10, 10, " vcc");
    board.place(2, 20, 10, "GND");
    board.place(3, 30, 10, "");
    board.place(4, 40, 10, "VCC  ");
    board.place(5, 50, 10, "   ");
    using Nets = std::vector<std::pair<std::string, std::vector<int>>>;
    // The net list took the first spelling, trimmed; blanks alone name no net.
    EXPECT_EQ(board.nets(), (Nets{{"GND", {2}}, {"vcc", {1, 4}}, {"", {3, 5}}}));
    const NetList list = NetList::Build(board.project.pads);
    EXPECT_EQ(list.indexOfPad(4), 1);
    EXPECT_EQ(list.indexOfPad(5), 2);
    EXPECT_EQ(list.indexOfPad(6), -1);
    EXPECT_EQ(list.indexOfName(" Vcc "), 1);
    EXPECT_EQ(list.indexOfName(""), 2);
    EXPECT_EQ(list.indexOfName("OUT"), -1);
    // A pad whose record was removed by hand still is a pad, with no net.
    board.project.pads.removeSection("Pad2");
    EXPECT_EQ(board.nets(), (Nets{{"vcc", {1, 4}}, {"", {2, 3, 5}}}));
}

class Panel : public ::testing::Test {
  protected:
    void SetUp() override {
        host.resize(600, 600);
        auto* layout = new QVBoxLayout(&host);
        for (PictureBox* box : {p1, p2}) {
            QImage picture(500, 200, QImage::Format_RGB32);
            picture.fill(Qt::black);
            box->setPicture(picture);
            layout->addWidget(box);
        }
        p1->setMarkers(&board.project.pads.markers.Pad1);
        p2->setMarkers(&board.project.pads.markers.Pad2);
        board.place(1, 10, 10, "A");
        board.place(2, 50, 10, "A");
        board.place(3, 100, 10, "B");
        board.place(4, 60, 40, "");
        panel = std::make_unique<NetsPanel>(board.project, p1, p2);
    }
    QStringList rows() const {
        QStringList out;
        for (int row = 0; row < panel->list()->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = panel->list()->topLevelItem(row);
            out << item->text(0) + "/" + item->text(1) + "/" + item->text(2);
        }
        return out;
    }
    static std::vector<QLineF> lines(std::initializer_list<QLineF> all) { return all; }

    Board board;
    QWidget host;
    PictureBox* p1 = new PictureBox(&host);
    PictureBox* p2 = new PictureBox(&host);
    std::unique_ptr<NetsPanel> panel;
};

TEST_F(Panel, FollowsARenameAndItsUndoKeepingTheNetHighlightedOnBothPictures) {
    EXPECT_EQ(panel->objectName(), "dockNets");
    EXPECT_EQ(rows(), (QStringList{"A/2/\u2014", "B/1/\u2014", "(unnamed)/1/\u2014"}));
    ASSERT_TRUE(panel->highlightNet("a"));
    EXPECT_EQ(p1->highlightedPads(), (std::vector<int>{1, 2}));
    EXPECT_EQ(p1->highlightLines(), lines({{10, 10, 50, 10}}));
    EXPECT_EQ(p2->highlightedPads(), (std::vector<int>{1, 2}));
    EXPECT_EQ(p2->highlightLines(), lines({{490, 10, 450, 10}})) << "the second picture's own markers";

    ASSERT_TRUE(ApplyPadEdit(board.project, NamePadsEdit({3}, kNetNameField, {"", "A", ""}, std::nullopt)));
    EXPECT_EQ(rows(), (QStringList{"A/3/\u2014", "(unnamed)/1/\u2014"}));
    EXPECT_EQ(panel->highlightedPads(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(p2->highlightLines(), lines({{490, 10, 450, 10}, {450, 10, 400, 10}}));
    EXPECT_EQ(panel->list()->currentItem()->text(0), "A") << "the renamed net stays selected";

    board.project.undo();
    EXPECT_EQ(rows(), (QStringList{"A/2/\u2014", "B/1/\u2014", "(unnamed)/1/\u2014"}));
    EXPECT_EQ(p1->highlightedPads(), (std::vector<int>{1, 2}));
    board.project.redo();
    EXPECT_EQ(p1->highlightedPads(), (std::vector<int>{1, 2, 3}));

    // A moved marker moves its end of the ratsnest.
    ASSERT_TRUE(ApplyPadEdit(board.project, MovePadEdit(1, 3, 100, 90)));
    EXPECT_EQ(p1->highlightLines(), lines({{10, 10, 50, 10}, {50, 10, 100, 90}}));
    // The net goes when its pads leave it, and with it the highlight.
    ASSERT_TRUE(ApplyPadEdit(board.project, DeletePadsEdit({1, 2, 3}, "", "")));
    EXPECT_EQ(rows(), (QStringList{"(unnamed)/1/\u2014"}));
    EXPECT_TRUE(p1->highlightedPads().empty());
    EXPECT_TRUE(p2->highlightLines().empty());
}

TEST_F(Panel, PadUnderThePointerChecksAndClearing) {
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QSignalSpy changed(panel.get(), &NetsPanel::highlightChanged);
    // Pad 2's marker on the second picture stands at (450, 10).
    const QPoint onMarker = p2->mapToGlobal(p2->displayedPoint(450, 10) + QPoint(3, 3));
    ASSERT_TRUE(panel->highlightNetAt(onMarker));
    EXPECT_EQ(panel->highlightedPads(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(panel->highlightNetAt(p2->mapToGlobal(QPoint(300, 150)))) << "bare picture";
    ASSERT_TRUE(panel->highlightNetOfPad(4));
    EXPECT_EQ(p1->highlightedPads(), (std::vector<int>{4}));
    EXPECT_TRUE(p1->highlightLines().empty()) << "unnamed pads are not joined";
    panel->highlightPads({3, 1, 99});
    EXPECT_EQ(p2->highlightedPads(), (std::vector<int>{1, 3}));
    EXPECT_EQ(p2->highlightLines().size(), 1u);
    EXPECT_TRUE(panel->list()->selectedItems().isEmpty());
    EXPECT_TRUE(panel->handleKey(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(p1->highlightedPads().empty());
    EXPECT_FALSE(panel->handleKey(Qt::Key_Escape, Qt::NoModifier)) << "nothing left to clear";
    EXPECT_EQ(changed.count(), 4);

    CheckReport report;
    report.nets = {{"A", NetCheckState::Open}, {"b", NetCheckState::Good}};
    panel->setCheckReport(report);
    EXPECT_EQ(rows(), (QStringList{"A/2/Open", "B/1/OK", "(unnamed)/1/\u2014"}));
    // A project closing takes its pads without an event per pad.
    panel->highlightNet("B");
    board.project.pads.clearAll();
    panel->reset();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(p2->highlightedPads().empty());
    board.place(1, 10, 10, "A");
    EXPECT_EQ(rows(), (QStringList{"A/1/\u2014"})) << "the next project's nets are not checked";
}

TEST(CheckWindow, ListsEachFindingWithItsPads) {
    CheckReport report;
    report.shorts = {{{"GND", "VCC"}, {3, 7, 9}}};
    report.opens = {{"OUT", {{4, 5}, {8}}}};
    report.suggestions = {{12, "VCC"}};
    report.untraced = {6};
    CheckWindow window;
    EXPECT_EQ(window.objectName(), "frmCheck");
    EXPECT_FALSE(window.nameSuggestedButton()->isEnabled());
    window.setReport(report);
    EXPECT_EQ(CheckWindow::FindingTexts(report),
              (QStringList{"Short: GND, VCC \u2014 pads 3, 7, 9", "Open: OUT \u2014 2 groups: 4, 5 | 8",
                           "Suggestion: pad 12 \u2192 VCC", "Untraced: pad 6"}));
    EXPECT_EQ(window.summary()->text(), "1 short, 1 open.");
    EXPECT_TRUE(window.nameSuggestedButton()->isEnabled());

    QSignalSpy chosen(&window, &CheckWindow::findingChosen);
    QSignalSpy naming(&window, &CheckWindow::nameSuggestedRequested);
    emit window.findings()->itemClicked(window.findings()->item(1));
    window.nameSuggestedButton()->click();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.front().front().value<std::vector<int>>(), (std::vector<int>{4, 5, 8}));
    EXPECT_EQ(naming.count(), 1);

    report.shorts.clear();
    report.suggestions.clear();
    report.opens.push_back({"SDA", {{1}, {2}}});
    EXPECT_EQ(CheckWindow::SummaryText(report), "No shorts, 2 opens.");
    window.setReport(CheckReport{});
    EXPECT_EQ(window.summary()->text(), "No shorts, no opens.");
    EXPECT_EQ(window.findings()->count(), 0);
    EXPECT_FALSE(window.nameSuggestedButton()->isEnabled());
}

}  // namespace
}  // namespace korvane
