#include "editor/model/main_page_state.h"

namespace sayolt::editor {

void MainPageState::reset(const MainPageValues& shown) {
  highlighted_.fill(false);
  selected_.reset();
  retrying_ = false;
  saved_ = shown;
}

void MainPageState::clickStartCell(int index, bool filled) {
  bool& on = highlighted_.at(static_cast<size_t>(index));
  on = filled && !on;
}

void MainPageState::clickProgram(int program, bool named) {
  if (named && selected_ == program) return;
  selected_.reset();
  highlighted_.fill(false);
  if (!named) return;
  selected_ = program;
  highlighted_ = startHighlightsFor(tables_.runPlan, program);
}

bool MainPageState::commitSelection() {
  if (!selected_) return false;
  commitRunPlan(tables_.runPlan, *selected_, highlighted_);
  return true;
}

bool MainPageState::hasUnsavedEdits(const MainPageValues& shown) const {
  return !(shown == saved_) || tables_.runPlan != tables_.savedRunPlan;
}

}  // namespace sayolt::editor
