// What the main page remembers between its handlers, without a window.
#include "editor/model/main_page_state.h"

#include <gtest/gtest.h>

namespace sayolt::editor {
namespace {

struct MainPageStateTest : ::testing::Test {
  MainPageStateTest() {
    tables.runPlan[0][0][1] = "1";
    tables.runPlan[0][8][7] = "1";
    tables.savedRunPlan = tables.runPlan;
    shown.times[0] = "8:00";
    state.reset(shown);
  }
  std::vector<int> highlighted() const {
    std::vector<int> on;
    for (int i = 0; i < kStartCells; ++i)
      if (state.isStartCellHighlighted(i)) on.push_back(i);
    return on;
  }
  MainPageTables tables;
  MainPageValues shown;
  MainPageState state{tables};
};

TEST_F(MainPageStateTest, CellsToggleOnlyWhenFilledAndProgramsShowTheirPlan) {
  state.clickStartCell(3, true);
  EXPECT_EQ(highlighted(), std::vector<int>{3});
  state.clickStartCell(3, true);
  state.clickStartCell(4, false);
  EXPECT_TRUE(highlighted().empty());

  state.clickProgram(0, true);
  EXPECT_TRUE(state.isProgramSelected(0));
  EXPECT_EQ(highlighted(), (std::vector<int>{1, 71}));
  state.clickStartCell(2, true);
  state.clickProgram(0, true);  // the selected program again keeps the toggles
  EXPECT_EQ(highlighted(), (std::vector<int>{1, 2, 71}));
  state.clickProgram(1, true);  // another program drops them
  EXPECT_FALSE(state.isProgramSelected(0));
  EXPECT_TRUE(highlighted().empty());
  state.clickStartCell(5, true);
  state.clickProgram(2, false);  // an empty name selects nothing and clears every cell
  EXPECT_FALSE(state.isProgramSelected(2));
  EXPECT_TRUE(highlighted().empty());
}

TEST_F(MainPageStateTest, CommitNeedsASelectedProgramAndMakesItsPlanUnsaved) {
  state.clickStartCell(0, true);
  EXPECT_FALSE(state.commitSelection());
  EXPECT_EQ(tables.runPlan, tables.savedRunPlan);
  EXPECT_FALSE(state.hasUnsavedEdits(shown));

  state.clickProgram(0, true);
  state.clickStartCell(71, true);
  ASSERT_TRUE(state.commitSelection());
  EXPECT_EQ(tables.runPlan[0][0][1], "1");
  EXPECT_EQ(tables.runPlan[0][8][7], "0");
  EXPECT_EQ(tables.runPlan[0][0][0], "0");
  EXPECT_EQ(tables.runPlan[1][0][0], "");
  EXPECT_TRUE(state.hasUnsavedEdits(shown));
  tables.savedRunPlan = tables.runPlan;
  EXPECT_FALSE(state.hasUnsavedEdits(shown));
}

TEST_F(MainPageStateTest, RetryLastsUntilACleanCheckAndUnsavedFollowsTheLastSave) {
  EXPECT_FALSE(state.retrying());
  EXPECT_EQ(state.captions().next, kNextCaption);
  state.checked(2);
  EXPECT_TRUE(state.retrying());
  EXPECT_EQ(state.captions().next, kRetryCaption);
  EXPECT_EQ(state.captions().end, kGiveUpCaption);
  state.checked(0);
  EXPECT_FALSE(state.retrying());
  EXPECT_EQ(state.captions().end, kEndCaption);

  MainPageValues edited = shown;
  edited.trayIcon = !edited.trayIcon;
  EXPECT_TRUE(state.hasUnsavedEdits(edited));
  state.markSaved(edited);
  EXPECT_FALSE(state.hasUnsavedEdits(edited));
  EXPECT_TRUE(state.hasUnsavedEdits(shown));

  state.clickProgram(0, true);
  state.checked(1);
  state.reset(shown);  // read again: nothing selected, no retry, nothing unsaved
  EXPECT_FALSE(state.isProgramSelected(0));
  EXPECT_TRUE(highlighted().empty());
  EXPECT_FALSE(state.retrying());
  EXPECT_FALSE(state.hasUnsavedEdits(shown));
}

}  // namespace
}  // namespace sayolt::editor
