#include "editor/ui/main_page_window.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPalette>
#include <QStringList>

#include "editor/model/scheduler_restart.h"
#include "editor/ui/page_widgets.h"
#include "shared/text_rules.h"

namespace sayolt::editor::ui {

namespace {

const QColor kHighlight(192, 255, 192);
const QColor kWhite(255, 255, 255);

std::string s(const QLineEdit* field) { return field->text().toStdString(); }
// A time field's text as the scheduler reads it: an IME's full-width digits made half-width.
std::string timeText(const QLineEdit* field) { return toHalfWidthDigits(s(field)); }

void paintHighlighted(QLineEdit* field, bool on) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, on ? kHighlight : kWhite);
  field->setPalette(palette);
}

// The retry captions fit their 1815 x 495 twips in the Windows fonts; fonts with wider or taller
// lines (Noto CJK) get a pixel less until every line fits.
void setCaption(QPushButton* button, const QString& caption) {
  button->setText(caption);
  button->setAccessibleName(QString(caption).replace('\n', ""));
  QFont font = button->parentWidget()->font();
  const QStringList lines = caption.split('\n');
  const auto fits = [&](const QFontMetrics& fm) {
    if (fm.height() * lines.size() > button->height() - 2) return false;
    for (const QString& line : lines)
      if (fm.horizontalAdvance(line) > button->width() - 4) return false;
    return true;
  };
  while (font.pixelSize() > 9 && !fits(QFontMetrics(font))) font.setPixelSize(font.pixelSize() - 1);
  button->setFont(font);
}

}  // namespace

MainPageWindow::MainPageWindow(EditorContext& context, StartupReaders readers)
    : EditorPage(context.services.dialogs),
      context_(context),
      readers_(std::move(readers)),
      state_(context.tables.main) {
  buildControls();
  setTabOrder();
  fieldCheck_ = new FieldCheck(this);
  for (QLineEdit* cell : text1) fieldCheck_->guard(cell, [this, cell] { return checkTimeField(cell); });
  fieldCheck_->guard(text10, [this] { return checkTimeField(text10); });
  for (int i = 0; i < kStartCells; ++i) text1[i]->installEventFilter(this);
  for (QLineEdit* name : text3) name->installEventFilter(this);
  showHighlights();

  connect(text10, &QLineEdit::textChanged, this, [this](const QString& text) {
    showValue(label18, QStringLiteral("1日の開始時刻"), q(dayStartLabel(toHalfWidthDigits(text.toStdString()))));
  });
  const auto onClick = [this](QPushButton* button, std::function<void()> handler) {
    connect(button, &QPushButton::clicked, this, fieldCheck_->act(std::move(handler)));
  };
  onClick(command9, [this] { onCommit(); });
  onClick(command6, [this] { onCopyMonday(); });
  for (int n = 0; n < keys::kAutoPrograms; ++n) onClick(command1[n], [this, n] { onBrowse(text4[n]); });
  for (int n = 0; n < keys::kManualPrograms; ++n) onClick(command4[n], [this, n] { onBrowse(text7[n]); });
  onClick(command2, [this] { onNext(); });
  onClick(command5, [this] { onEnd(); });
  onClick(command3, [this] { onRestart(); });
  onClick(command7, [this] {
    if (buildWorkbook_) buildWorkbook_(*this);
  });
  onClick(command8, [this] {
    if (viewWorkbook_) viewWorkbook_(*this);
  });
  setWorkbookActions(nullptr, nullptr);
}

void MainPageWindow::load() { loadPages(PageId::Dates); }

// After an erase the later pages are left unread, as they are read again when they open.
void MainPageWindow::loadAfterRepair(PageId erased) { loadPages(erased); }

void MainPageWindow::loadPages(PageId lastPage) {
  const IniSnapshot file = context_.settings.snapshot();
  showValues(readPagesAtStartup(file, context_.tables, readers_, lastPage));
  state_.reset(values());
  showCaptions();
  showHighlights();
  command3->setEnabled(schedulerRunning(context_));
  setStatusText(QString());
}

void MainPageWindow::showCaptions() {
  const Captions captions = state_.captions();
  setCaption(command2, q(captions.next));
  setCaption(command5, q(captions.end));
}

void MainPageWindow::showHighlights() {
  for (int i = 0; i < kStartCells; ++i) paintHighlighted(text1[i], state_.isStartCellHighlighted(i));
  for (int n = 0; n < keys::kAutoPrograms; ++n) paintHighlighted(text3[n], state_.isProgramSelected(n));
}

void MainPageWindow::showValues(const MainPageValues& v) {
  for (int i = 0; i < kGridCells; ++i) text1[i]->setText(q(v.times[i]));
  const auto showRows = [](const auto& rows, auto& names, auto& paths, auto& delays) {
    for (std::size_t n = 0; n < rows.size(); ++n) {
      names[n]->setText(q(rows[n].name));
      paths[n]->setText(q(rows[n].path));
      // A long name or path shows its beginning, as typed.
      names[n]->setCursorPosition(0);
      paths[n]->setCursorPosition(0);
      delays[n]->setText(q(rows[n].delay));
    }
  };
  showRows(v.autoPrograms, text3, text4, text5);
  showRows(v.manualPrograms, text6, text7, text8);
  for (int i = 0; i < 2; ++i) text2[i]->setText(q(v.ntpServers[i]));
  check1->setChecked(v.trayIcon);
  // Neither option selected needs the group's exclusivity off for a moment.
  option1[0]->group()->setExclusive(false);
  option1[0]->setChecked(v.priority == Priority::WeekendHoliday);
  option1[1]->setChecked(v.priority == Priority::Absence);
  option1[0]->group()->setExclusive(true);
  text9->setText(q(v.tolerance));
  text10->setText(q(v.dayStart));
  showValue(label18, QStringLiteral("1日の開始時刻"), q(dayStartLabel(v.dayStart)));
}

MainPageValues MainPageWindow::values() const {
  MainPageValues v;
  for (int i = 0; i < kGridCells; ++i) v.times[i] = timeText(text1[i]);
  for (int n = 0; n < keys::kAutoPrograms; ++n) v.autoPrograms[n] = {s(text3[n]), s(text4[n]), s(text5[n])};
  for (int n = 0; n < keys::kManualPrograms; ++n) v.manualPrograms[n] = {s(text6[n]), s(text7[n]), s(text8[n])};
  for (int i = 0; i < 2; ++i) v.ntpServers[i] = s(text2[i]);
  v.trayIcon = check1->isChecked();
  v.priority = option1[0]->isChecked()   ? Priority::WeekendHoliday
               : option1[1]->isChecked() ? Priority::Absence
                                         : Priority::None;
  v.tolerance = s(text9);
  v.dayStart = timeText(text10);
  return v;
}

bool MainPageWindow::hasUnsavedEdits() const { return state_.hasUnsavedEdits(values()); }

bool MainPageWindow::eventFilter(QObject* watched, QEvent* event) {
  // A click is a press and a release on the same field; a press the field check refused never
  // arrives here, so neither does its click.
  if (event->type() == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) pressed_ = watched;
  } else if (event->type() == QEvent::MouseButtonRelease) {
    const bool click = pressed_ == watched && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    pressed_ = nullptr;
    if (click) {
      for (int i = 0; i < kStartCells; ++i)
        if (watched == text1[i]) onStartCellClicked(i);
      for (int n = 0; n < keys::kAutoPrograms; ++n)
        if (watched == text3[n]) onProgramClicked(n);
    }
  }
  return EditorPage::eventFilter(watched, event);
}

void MainPageWindow::onStartCellClicked(int index) {
  state_.clickStartCell(index, !text1[index]->text().isEmpty());
  showHighlights();
}

void MainPageWindow::onProgramClicked(int program) {
  state_.clickProgram(program, !text3[program]->text().isEmpty());
  showHighlights();
}

void MainPageWindow::onCommit() {
  if (state_.commitSelection()) return;
  // Highlights without a selected program belong to nobody; say so rather than drop them silently.
  context_.services.dialogs.messageOk(kEditorTitle, "プログラム名をクリックして、確定するプログラムを選んでください");
}

void MainPageWindow::onCopyMonday() {
  GridTexts times;
  for (int i = 0; i < kGridCells; ++i) times[i] = timeText(text1[i]);
  copyMonday(times);
  for (int i = 0; i < kGridCells; ++i)
    if (text1[i]->text() != q(times[i])) text1[i]->setText(q(times[i]));
}

void MainPageWindow::onBrowse(QLineEdit* pathField) {
  const std::string chosen = context_.services.dialogs.openFileName("ファイルの選択", "", "");
  if (!chosen.empty()) pathField->setText(q(chosen));
}

bool MainPageWindow::checkTimeField(QLineEdit* field) {
  const std::string text = timeText(field);
  if (!isAcceptedTimeText(text)) {
    context_.services.dialogs.messageOk(kEditorTitle, kTimeFormatMessage);
    return false;
  }
  // What is shown is what is saved.
  if (q(text) != field->text()) field->setText(q(text));
  return true;
}

bool MainPageWindow::runCheck() {
  const auto messages = checkMainPage(values());
  for (const auto& message : messages) context_.services.dialogs.messageOk(kEditorTitle, message);
  state_.checked(messages.size());
  showCaptions();
  return messages.empty();
}

bool MainPageWindow::save() {
  const MainPageValues shown = values();
  return savedOrSaid(*this, context_.services.dialogs, [this, &shown] {
    if (saveMainPage(context_.settings, shown, context_.tables.main).toleranceKept)
      context_.services.dialogs.messageOk(kEditorTitle, kToleranceKeptMessage);
    state_.markSaved(shown);
  });
}

bool MainPageWindow::checkAndSave() { return runCheck() && save(); }

void MainPageWindow::setStatusText(const QString& text) { showValue(label15, QStringLiteral("予定表の状態"), text); }

void MainPageWindow::setViewEnabled(bool enabled) { command8->setEnabled(enabled && viewWorkbook_); }

void MainPageWindow::setWorkbookActions(WorkbookAction build, WorkbookAction view) {
  buildWorkbook_ = std::move(build);
  viewWorkbook_ = std::move(view);
  command7->setEnabled(static_cast<bool>(buildWorkbook_));
  command8->setEnabled(static_cast<bool>(viewWorkbook_));
}

void MainPageWindow::onNext() {
  if (state_.retrying()) {
    runCheck();
    return;
  }
  if (checkAndSave()) emit nextRequested();
}

void MainPageWindow::onEnd() {
  if (state_.retrying()) {
    emit endRequested();
    return;
  }
  if (checkAndSave()) emit endRequested();
}

void MainPageWindow::onRestart() {
  if (!save()) return;
  // No input reaches the page while the old scheduler closes and the new one starts.
  setEnabled(false);
  restartScheduler(context_);
  setEnabled(true);
}

}  // namespace sayolt::editor::ui
