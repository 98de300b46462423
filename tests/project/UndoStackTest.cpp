#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "project/Project.h"

namespace korvane {
namespace {

// A step that adds one number to a log, holding `bytes` of pretend pixel history.
class Append : public UndoCommand {
  public:
    Append(std::vector<int>& log, int value, std::size_t bytes = 0)
        : log_(log), value_(value), bytes_(bytes) {}
    std::string text() const override { return "add " + std::to_string(value_); }
    void undo(Project&) override { log_.pop_back(); }
    void redo(Project&) override { log_.push_back(value_); }
    std::size_t pixelBytes() const override { return bytes_; }

  private:
    std::vector<int>& log_;
    int value_;
    std::size_t bytes_;
};

struct Events : ProjectObserver {
    std::vector<bool> modified;
    void modifiedChanged(bool now) override { modified.push_back(now); }
};

TEST(History, TheCleanIndexDecidesWhetherTheProjectIsSaved) {
    Project project;
    Events events;
    project.addObserver(&events);
    std::vector<int> log;
    EXPECT_TRUE(project.saved());

    project.execute(std::make_unique<Append>(log, 1));
    EXPECT_FALSE(project.saved());
    EXPECT_EQ(project.history().undoText(), "add 1");
    project.undo();
    EXPECT_TRUE(project.saved()) << "undoing back to the save";
    EXPECT_EQ(project.history().redoText(), "add 1");
    project.redo();
    project.markSaved();
    project.undo();
    EXPECT_FALSE(project.saved()) << "undoing past a save";
    EXPECT_EQ(events.modified, (std::vector<bool>{true, false, true, false, true}));

    // A new step after undoing past the save makes the saved state unreachable.
    project.execute(std::make_unique<Append>(log, 2));
    EXPECT_EQ(log, std::vector<int>{2});
    EXPECT_FALSE(project.history().canRedo());
    project.undo();
    EXPECT_FALSE(project.saved());

    project.markSaved();
    project.markUnsaved();
    EXPECT_FALSE(project.saved()) << "recovered work stays unsaved until saved";
    project.resetHistory();
    EXPECT_TRUE(project.saved());
    EXPECT_FALSE(project.history().canUndo());
}

// A step that changes what is shown only, as drawing traces from their records does.
class ShowOnly : public Append {
  public:
    using Append::Append;
    bool changesFile() const override { return false; }
};

TEST(History, StepsThatChangeNothingOfTheFileNeverAskForASave) {
    Project project;
    std::vector<int> log;
    project.execute(std::make_unique<ShowOnly>(log, 1));
    EXPECT_TRUE(project.saved());
    project.execute(std::make_unique<Append>(log, 2));
    EXPECT_FALSE(project.saved());
    project.undo();
    EXPECT_TRUE(project.saved());
    project.undo();
    project.markSaved();
    project.redo();
    EXPECT_TRUE(project.saved()) << "from either side of the clean index";
}

TEST(History, PixelHistoryOverTheBoundDropsTheOldestStepsButNeverTheNewest) {
    Project project;
    project.setPixelHistoryLimit(100);
    std::vector<int> log;
    project.execute(std::make_unique<Append>(log, 1, 40));
    project.markSaved();
    project.execute(std::make_unique<Append>(log, 2, 40));
    EXPECT_EQ(project.droppedSteps(), 0u);
    project.execute(std::make_unique<Append>(log, 3, 40));
    EXPECT_EQ(project.droppedSteps(), 1u);
    EXPECT_EQ(project.history().count(), 2u);
    EXPECT_EQ(project.history().pixelBytes(), 80u);
    project.undo();
    project.undo();
    EXPECT_TRUE(project.saved()) << "the save's step is still there";
    EXPECT_FALSE(project.history().canUndo());
    EXPECT_EQ(log, std::vector<int>{1});

    project.execute(std::make_unique<Append>(log, 4, 500));
    EXPECT_EQ(project.history().count(), 1u) << "the newest step stays, even alone over the bound";
    EXPECT_TRUE(project.history().canUndo());
}

}  // namespace
}  // namespace korvane
