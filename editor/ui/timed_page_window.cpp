#include "editor/ui/timed_page_window.h"

#include <QCloseEvent>

#include "editor/model/main_page.h"
#include "editor/ui/page_widgets.h"

namespace sayolt::editor::ui {

namespace {

constexpr const char* kWrongNumberMessage = "プログラム番号が相違しています";

std::string s(const QLineEdit* field) { return field->text().toStdString(); }

}  // namespace

TimedPageWindow::TimedPageWindow(EditorContext& context) : context_(context), page_(context.tables.timed) {
  buildControls();
  setTabOrder();
  fieldCheck_ = new FieldCheck(this);
  for (int i = 0; i < keys::kTimedRuns; ++i) {
    // An unreadable start time keeps the focus without a word; a wrong number says why.
    fieldCheck_->guard(text1[i], [this, i] { return isAcceptedTimeText(s(text1[i])); });
    fieldCheck_->guard(text2[i], [this, i] {
      if (page_.isAcceptedNumber(s(text2[i]))) return true;
      context_.services.dialogs.messageOk(kEditorTitle, kWrongNumberMessage);
      return false;
    });
  }
  connectControls();
}

void TimedPageWindow::connectControls() {
  for (int c = 0; c < keys::kCategories; ++c)
    connect(option1[c], &QRadioButton::clicked, this, [this, c] { onCategoryChosen(c); });
  for (int i = 0; i < keys::kTimedRuns; ++i) {
    connect(text1[i], &QLineEdit::textEdited, this,
            [this, i](const QString& text) { page_.storeRunTime(i, text.toStdString()); });
    connect(text2[i], &QLineEdit::textChanged, this,
            [this, i](const QString& text) { label6[i]->setText(q(page_.programLabel(text.toStdString()))); });
    connect(text2[i], &QLineEdit::textEdited, this,
            [this, i](const QString& text) { page_.storeRunNumber(i, text.toStdString()); });
  }
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    const auto store = [this, j] { page_.setProgram(j, s(text3[j]), s(text4[j])); };
    connect(text3[j], &QLineEdit::textChanged, this, store);
    connect(text4[j], &QLineEdit::textChanged, this, store);
    connect(command1[j], &QPushButton::clicked, this, [this, j] { onBrowse(j); });
  }
  connect(command4, &QPushButton::clicked, this, [this] { onCopyMonday(); });
  connect(command6, &QPushButton::clicked, this, [this] { onCancel(); });
  connect(command3, &QPushButton::clicked, this, [this] {
    if (leave()) emit backRequested();
  });
  connect(command5, &QPushButton::clicked, this, [this] {
    if (leave()) emit nextRequested();
  });
  connect(command2, &QPushButton::clicked, this, [this] {
    if (leave()) emit endRequested();
  });
}

void TimedPageWindow::load() {
  try {
    page_.load(context_.settings.snapshot());
  } catch (const IniError& error) {
    // A file that cannot be read at all is offered for repair like a damaged page.
    throw PageLoadError(PageId::TimedPrograms, error.what());
  }
  option1[0]->setChecked(true);
  showCategory();
}

void TimedPageWindow::showCategory() {
  const TimedPageTables& t = page_.tables;
  const int c = t.selectedCategory;
  const GridTexts& times = context_.tables.main.savedTimes;
  for (int k = 0; k < keys::kSlots; ++k) {
    label3[k]->setText(q(times[gridIndex(0, c, k)]));
    label3[keys::kSlots + k]->setText(q(times[gridIndex(1, c, k)]));
  }
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    const QSignalBlocker nameBlock(text3[j]), pathBlock(text4[j]);
    text3[j]->setText(q(t.programNames[j]));
    text4[j]->setText(q(t.programPaths[j]));
    text4[j]->setCursorPosition(0);  // a long path shows its beginning
  }
  for (int i = 0; i < keys::kTimedRuns; ++i) {
    text1[i]->setText(q(t.runTimes[c][i]));
    const std::string& index = t.runPrograms[c][i];
    text2[i]->setText(index.empty() ? QString() : q(TimedPage::shownNumberOf(index)));
    label6[i]->setText(index.empty() ? QString() : q(page_.programLabel(TimedPage::shownNumberOf(index))));
  }
}

void TimedPageWindow::onCategoryChosen(int category) {
  page_.tables.selectedCategory = category;
  showCategory();
}

void TimedPageWindow::onBrowse(int program) {
  const std::string chosen = context_.services.dialogs.openFileName("ファイルの選択", "", "");
  if (!chosen.empty()) text4[program]->setText(q(chosen));
}

void TimedPageWindow::onCopyMonday() {
  page_.copyMondayRuns();
  // Drawn again so that the grid of a shown 火曜日..金曜日 does not hold the overwritten runs.
  showCategory();
}

void TimedPageWindow::onCancel() {
  page_.cancelCategory();
  showCategory();
}

bool TimedPageWindow::leave() {
  ProgramTexts names, paths;
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    names[j] = s(text3[j]);
    paths[j] = s(text4[j]);
  }
  if (const auto problem = page_.commitIfComplete(names, paths)) {
    context_.errorCount = 2;
    context_.services.dialogs.messageOk(kEditorTitle, *problem);
    return false;
  }
  context_.errorCount = 0;
  return savedOrSaid(context_.services.dialogs, [this] { page_.saveTimedPage(context_.settings); });
}

void TimedPageWindow::closeEvent(QCloseEvent* event) {
  if (keepsUnsavedEdits(page_.hasUnsavedEdits(), context_.services.dialogs)) {
    event->ignore();
    return;
  }
  EditorPage::closeEvent(event);
}

}  // namespace sayolt::editor::ui
