#include "editor/ui/timed_page_window.h"

#include <QAbstractButton>
#include <functional>

#include "editor/model/main_page.h"
#include "editor/ui/page_widgets.h"
#include "shared/text_rules.h"

namespace sayolt::editor::ui {

namespace {

constexpr const char* kWrongNumberMessage = "プログラム番号が相違しています";

std::string s(const QLineEdit* field) { return field->text().toStdString(); }

QString runLabelName(int slot) { return QStringLiteral("プログラム名 %1").arg(slot + 1); }

}  // namespace

TimedPageWindow::TimedPageWindow(EditorContext& context)
    : EditorPage(context.services.dialogs), context_(context), page_(context.tables.timed) {
  buildControls();
  setTabOrder();
  fieldCheck_ = new FieldCheck(this);
  for (int i = 0; i < keys::kTimedRuns; ++i) {
    // An unreadable start time keeps the focus without a word; a wrong number says why.
    fieldCheck_->guard(text1[i], [this, i] {
      const std::string text = toHalfWidthDigits(s(text1[i]));
      if (!isAcceptedTimeText(text)) return false;
      if (q(text) != text1[i]->text()) text1[i]->setText(q(text));
      return true;
    });
    fieldCheck_->guard(text2[i], [this, i] {
      if (page_.isAcceptedNumber(s(text2[i]))) return true;
      context_.services.dialogs.messageOk(kEditorTitle, kWrongNumberMessage);
      return false;
    });
  }
  connectControls();
}

void TimedPageWindow::connectControls() {
  const auto onClick = [this](QAbstractButton* button, std::function<void()> handler) {
    connect(button, &QAbstractButton::clicked, this, fieldCheck_->act(std::move(handler)));
  };
  // A category chosen while a field refuses stays unchosen, however it was chosen.
  for (int c = 0; c < keys::kCategories; ++c) {
    connect(option1[c], &QRadioButton::clicked, this, [this, c] {
      if (fieldCheck_->checkFocusedField())
        onCategoryChosen(c);
      else
        option1[page_.tables.selectedCategory]->setChecked(true);
    });
  }
  // Any change of the text is stored, typed or set through the accessibility interface;
  // showCategory blocks these while it fills the grid.
  for (int i = 0; i < keys::kTimedRuns; ++i) {
    connect(text1[i], &QLineEdit::textChanged, this,
            [this, i](const QString& text) { page_.storeRunTime(i, text.toStdString()); });
    connect(text2[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
      showValue(label6[i], runLabelName(i), q(page_.programLabel(text.toStdString())));
      page_.storeRunNumber(i, text.toStdString());
    });
  }
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    const auto store = [this, j] { page_.setProgram(j, s(text3[j]), s(text4[j])); };
    connect(text3[j], &QLineEdit::textChanged, this, store);
    connect(text4[j], &QLineEdit::textChanged, this, store);
    onClick(command1[j], [this, j] { onBrowse(j); });
  }
  onClick(command4, [this] { onCopyMonday(); });
  onClick(command6, [this] { onCancel(); });
  onClick(command3, [this] {
    if (leave()) emit backRequested();
  });
  onClick(command5, [this] {
    if (leave()) emit nextRequested();
  });
  onClick(command2, [this] {
    if (leave()) emit endRequested();
  });
}

void TimedPageWindow::load() {
  // A file that cannot be read at all goes up as IniError: erasing a page could not help.
  page_.load(context_.settings.snapshot());
  option1[0]->setChecked(true);
  showCategory();
}

void TimedPageWindow::showCategory() {
  const TimedPageTables& t = page_.tables;
  const int c = t.selectedCategory;
  const GridTexts& times = context_.tables.main.savedTimes;
  for (int k = 0; k < keys::kSlots; ++k) {
    showValue(label3[k], QStringLiteral("参照 開始時刻 %1").arg(k + 1), q(times[gridIndex(0, c, k)]));
    showValue(label3[keys::kSlots + k], QStringLiteral("参照 終了時刻 %1").arg(k + 1), q(times[gridIndex(1, c, k)]));
  }
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    const QSignalBlocker nameBlock(text3[j]), pathBlock(text4[j]);
    text3[j]->setText(q(t.programNames[j]));
    text4[j]->setText(q(t.programPaths[j]));
    // A long name or path shows its beginning.
    text3[j]->setCursorPosition(0);
    text4[j]->setCursorPosition(0);
  }
  for (int i = 0; i < keys::kTimedRuns; ++i) {
    const QSignalBlocker timeBlock(text1[i]), numberBlock(text2[i]);
    text1[i]->setText(q(t.runTimes[c][i]));
    const std::string& index = t.runPrograms[c][i];
    text2[i]->setText(index.empty() ? QString() : q(TimedPage::shownNumberOf(index)));
    showValue(label6[i], runLabelName(i),
              index.empty() ? QString() : q(page_.programLabel(TimedPage::shownNumberOf(index))));
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
    context_.services.dialogs.messageOk(kEditorTitle, *problem);
    return false;
  }
  return savedOrSaid(*this, context_.services.dialogs, [this] { page_.saveTimedPage(context_.settings); });
}

bool TimedPageWindow::hasUnsavedEdits() const { return page_.hasUnsavedEdits(); }

}  // namespace sayolt::editor::ui
