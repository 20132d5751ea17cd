#pragma once
// What the main page remembers between its handlers: the program whose run plan is shown with
// its highlighted start cells, whether the last check found problems (the retry captions), and
// the values as last read or saved (whether anything is unsaved).
#include <array>
#include <optional>

#include "editor/model/main_page.h"

namespace sayolt::editor {

class MainPageState {
 public:
  explicit MainPageState(MainPageTables& tables) : tables_(tables) {}

  // The page was read with these values: no selection, nothing unsaved, no retry.
  void reset(const MainPageValues& shown);
  // The page was saved with these values.
  void markSaved(const MainPageValues& shown) { saved_ = shown; }

  // A click on start cell `index` (0..71): a filled cell toggles its highlight, an empty one
  // loses it.
  void clickStartCell(int index, bool filled);
  // A click on automatic program `program`'s name: a named program is selected and its run plan
  // highlighted (dropping toggles not committed); an empty name clears every highlight.
  void clickProgram(int program, bool named);
  bool isStartCellHighlighted(int index) const { return highlighted_.at(static_cast<size_t>(index)); }
  bool isProgramSelected(int program) const { return selected_ == program; }
  // 確　　定: the highlights become the selected program's run plan. False when no program is selected.
  bool commitSelection();

  // The check found `problems` problems: the buttons offer to check again or give up until a
  // check finds none.
  void checked(std::size_t problems) { retrying_ = problems > 0; }
  bool retrying() const { return retrying_; }
  Captions captions() const { return captionsAfterCheck(retrying_ ? 1 : 0); }

  // Whether the shown values or the run plan differ from what was last read or saved.
  bool hasUnsavedEdits(const MainPageValues& shown) const;

 private:
  MainPageTables& tables_;
  std::array<bool, kStartCells> highlighted_{};
  std::optional<int> selected_;
  bool retrying_ = false;
  MainPageValues saved_;
};

}  // namespace sayolt::editor
