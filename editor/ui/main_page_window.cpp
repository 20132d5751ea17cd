#include "editor/ui/main_page_window.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPalette>
#include <QStringList>

#include "editor/model/scheduler_restart.h"
#include "editor/ui/page_widgets.h"

namespace sayolt::editor::ui {

namespace {

const QColor kHighlight(192, 255, 192);
const QColor kWhite(255, 255, 255);
const char* const kHighlightProperty = "sayoltHighlighted";

std::string s(const QLineEdit* field) { return field->text().toStdString(); }

// The retry captions fit their 1815 x 495 twips in the Windows fonts; fonts with wider or taller
// lines (Noto CJK) get a pixel less until every line fits.
void setCaption(QPushButton* button, const QString& caption) {
  button->setText(caption);
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
    : context_(context), readers_(std::move(readers)) {
  buildControls();
  setTabOrder();
  fieldCheck_ = new FieldCheck(this);
  for (QLineEdit* cell : text1) {
    fieldCheck_->guard(cell, [this, cell] { return checkTimeField(cell); });
    setHighlighted(cell, false);
  }
  fieldCheck_->guard(text10, [this] { return checkTimeField(text10); });
  for (int i = 0; i < kStartCells; ++i) text1[i]->installEventFilter(this);
  for (QLineEdit* name : text3) {
    name->installEventFilter(this);
    setHighlighted(name, false);
  }

  connect(text10, &QLineEdit::textChanged, this,
          [this](const QString& text) { label18->setText(q(dayStartLabel(text.toStdString()))); });
  connect(command9, &QPushButton::clicked, this, [this] { onCommit(); });
  connect(command6, &QPushButton::clicked, this, [this] { onCopyMonday(); });
  for (int n = 0; n < keys::kAutoPrograms; ++n)
    connect(command1[n], &QPushButton::clicked, this, [this, n] { onBrowse(text4[n]); });
  for (int n = 0; n < keys::kManualPrograms; ++n)
    connect(command4[n], &QPushButton::clicked, this, [this, n] { onBrowse(text7[n]); });
  connect(command2, &QPushButton::clicked, this, [this] { onNext(); });
  connect(command5, &QPushButton::clicked, this, [this] { onEnd(); });
  connect(command3, &QPushButton::clicked, this, [this] { onRestart(); });
  connect(command7, &QPushButton::clicked, this, [this] {
    if (buildWorkbook_) buildWorkbook_(*this);
  });
  connect(command8, &QPushButton::clicked, this, [this] {
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
  setCaption(command2, kNextCaption);
  setCaption(command5, kEndCaption);
  command3->setEnabled(schedulerRunning(context_));
  label15->clear();
}

void MainPageWindow::showValues(const MainPageValues& v) {
  for (int i = 0; i < kGridCells; ++i) text1[i]->setText(q(v.times[i]));
  const auto showRows = [](const auto& rows, auto& names, auto& paths, auto& delays) {
    for (std::size_t n = 0; n < rows.size(); ++n) {
      names[n]->setText(q(rows[n].name));
      paths[n]->setText(q(rows[n].path));
      paths[n]->setCursorPosition(0);  // a long path shows its beginning, as typed
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
  label18->setText(q(dayStartLabel(v.dayStart)));
  for (QLineEdit* cell : text1) setHighlighted(cell, false);
  for (QLineEdit* name : text3) setHighlighted(name, false);
}

MainPageValues MainPageWindow::values() const {
  MainPageValues v;
  for (int i = 0; i < kGridCells; ++i) v.times[i] = s(text1[i]);
  for (int n = 0; n < keys::kAutoPrograms; ++n) v.autoPrograms[n] = {s(text3[n]), s(text4[n]), s(text5[n])};
  for (int n = 0; n < keys::kManualPrograms; ++n) v.manualPrograms[n] = {s(text6[n]), s(text7[n]), s(text8[n])};
  for (int i = 0; i < 2; ++i) v.ntpServers[i] = s(text2[i]);
  v.trayIcon = check1->isChecked();
  v.priority = option1[0]->isChecked()   ? Priority::WeekendHoliday
               : option1[1]->isChecked() ? Priority::Absence
                                         : Priority::None;
  v.tolerance = s(text9);
  v.dayStart = s(text10);
  return v;
}

bool MainPageWindow::isHighlighted(const QLineEdit* field) const {
  return field->property(kHighlightProperty).toBool();
}

void MainPageWindow::setHighlighted(QLineEdit* field, bool on) {
  field->setProperty(kHighlightProperty, on);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, on ? kHighlight : kWhite);
  field->setPalette(palette);
}

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
  QLineEdit* cell = text1[index];
  if (cell->text().isEmpty()) {
    setHighlighted(cell, false);
    return;
  }
  setHighlighted(cell, !isHighlighted(cell));
}

void MainPageWindow::onProgramClicked(int program) {
  QLineEdit* name = text3[program];
  if (!name->text().isEmpty() && isHighlighted(name)) return;
  for (QLineEdit* other : text3) setHighlighted(other, false);
  if (name->text().isEmpty()) {
    for (int i = 0; i < kStartCells; ++i) setHighlighted(text1[i], false);
    return;
  }
  setHighlighted(name, true);
  const auto on = startHighlightsFor(context_.tables.main.runPlan, program);
  for (int i = 0; i < kStartCells; ++i) setHighlighted(text1[i], on[i]);
}

void MainPageWindow::onCommit() {
  for (int n = 0; n < keys::kAutoPrograms; ++n) {
    if (!isHighlighted(text3[n])) continue;
    std::array<bool, kStartCells> on{};
    for (int i = 0; i < kStartCells; ++i) on[i] = isHighlighted(text1[i]);
    commitRunPlan(context_.tables.main.runPlan, n, on);
    return;
  }
  // Highlights without a selected program belong to nobody; say so rather than drop them silently.
  context_.services.dialogs.messageOk(kEditorTitle, "プログラム名をクリックして、確定するプログラムを選んでください");
}

void MainPageWindow::onCopyMonday() {
  GridTexts times;
  for (int i = 0; i < kGridCells; ++i) times[i] = s(text1[i]);
  copyMonday(times);
  for (int i = 0; i < kGridCells; ++i)
    if (text1[i]->text() != q(times[i])) text1[i]->setText(q(times[i]));
}

void MainPageWindow::onBrowse(QLineEdit* pathField) {
  const std::string chosen = context_.services.dialogs.openFileName("ファイルの選択", "", "");
  if (!chosen.empty()) pathField->setText(q(chosen));
}

bool MainPageWindow::checkTimeField(QLineEdit* field) {
  if (isAcceptedTimeText(s(field))) return true;
  context_.services.dialogs.messageOk(kEditorTitle, kTimeFormatMessage);
  return false;
}

int MainPageWindow::runCheck() {
  const auto messages = checkMainPage(values());
  for (const auto& message : messages) context_.services.dialogs.messageOk(kEditorTitle, message);
  context_.errorCount = static_cast<int>(messages.size());
  const Captions captions = captionsAfterCheck(context_.errorCount);
  setCaption(command2, q(captions.next));
  setCaption(command5, q(captions.end));
  return context_.errorCount;
}

bool MainPageWindow::save() {
  return savedOrSaid(context_.services.dialogs, [this] {
    if (saveMainPage(context_.settings, values(), context_.tables.main).toleranceKept)
      context_.services.dialogs.messageOk(kEditorTitle, kToleranceKeptMessage);
  });
}

bool MainPageWindow::checkAndSave() { return runCheck() == 0 && save(); }

void MainPageWindow::setStatusText(const QString& text) { label15->setText(text); }

void MainPageWindow::setWorkbookActions(WorkbookAction build, WorkbookAction view) {
  buildWorkbook_ = std::move(build);
  viewWorkbook_ = std::move(view);
  command7->setEnabled(static_cast<bool>(buildWorkbook_));
  command8->setEnabled(static_cast<bool>(viewWorkbook_));
}

void MainPageWindow::onNext() {
  if (command2->text() != kNextCaption) {
    runCheck();
    return;
  }
  if (runCheck() == 0 && save()) emit nextRequested();
}

void MainPageWindow::onEnd() {
  if (command5->text() != kEndCaption) {
    emit endRequested();
    return;
  }
  if (runCheck() == 0 && save()) emit endRequested();
}

void MainPageWindow::onRestart() {
  if (!save()) return;
  // No input reaches the page while the old scheduler closes and the new one starts.
  setEnabled(false);
  restartScheduler(context_);
  setEnabled(true);
}

}  // namespace sayolt::editor::ui
