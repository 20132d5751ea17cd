// Form2's controls: category frame and copy button at the left, the reference grid and the three
// blocks of ten runs at the right, the twenty programs in two halves below, the buttons at the
// bottom. The main page's grid unit: rows 240 twips apart, fields 255 high.
#include <QButtonGroup>

#include "editor/ui/editor_font.h"
#include "editor/ui/page_widgets.h"
#include "editor/ui/timed_page_window.h"
#include "editor/ui/twips.h"

namespace sayolt::editor::ui {

namespace {

constexpr int kRowPitch = 240;
constexpr int kRowHeight = 255;
constexpr int kLabelHeight = 255;

constexpr int kGridLeft = 3480;    // the reference grid and the run blocks
constexpr int kBlockPitch = 3120;  // run blocks 0..2
constexpr int kRunTop = 960;       // first run row
constexpr int kListTop = 3840;     // first program row
constexpr int kHalfPitch = 6480;   // program halves 0..1
constexpr int kButtonTop = 6480;

// The names beside the run numbers keep the proportional font of the original page.
QFont nameFont() {
  QFont font = editorFont();
  QStringList families = font.families();
  families.prepend(QStringLiteral("MS PGothic"));
  families.prepend(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setFamilies(families);
  return font;
}

}  // namespace

void TimedPageWindow::buildControls() {
  setObjectName("Form2");
  setWindowTitle(QStringLiteral("プログラムの時刻指定"));
  setFixedSize(twips(13035), twips(kButtonTop + 495 + 240));
  setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; } QPushButton { padding: 0px 2px; }"));

  frame1 = new QGroupBox(QStringLiteral("区分"), this);
  frame1->setObjectName("Frame1");
  frame1->setAccessibleName(QStringLiteral("区分"));
  frame1->setGeometry(twipsRect(120, 120, 3120, 1920));
  auto* group = new QButtonGroup(this);
  for (int c = 0; c < keys::kCategories; ++c) {
    // Weekdays in the left column, the weekend, holidays and absence in the right.
    const int column = c < 5 ? 0 : 1;
    const int row = c < 5 ? c : c - 5;
    option1[c] = new QRadioButton(QString::fromUtf8(kDayNames[c]), frame1);
    option1[c]->setObjectName(indexed("Option1", c));
    option1[c]->setAccessibleName(option1[c]->text());
    option1[c]->setGeometry(twipsRect(240 + 1440 * column, 330 + 300 * row, 1335, 285));
    group->addButton(option1[c], c);
  }
  command4 =
      button(this, "Command4", QStringLiteral("月曜の予定を　金曜までコピーする"), twipsRect(120, 2160, 3120, 375));

  // Reference grid: the main page's start and end times of the shown category.
  label(this, "Label1", QStringLiteral("開始時刻"), twipsRect(kGridLeft, 120, 960, kLabelHeight));
  label(this, "Label2", QStringLiteral("終了時刻"), twipsRect(kGridLeft, 375, 960, kLabelHeight));
  for (int k = 0; k < 2 * keys::kSlots; ++k) {
    const bool end = k >= keys::kSlots;
    const int column = k % keys::kSlots;
    const QString name = QStringLiteral("参照 %1 %2").arg(end ? "終了時刻" : "開始時刻").arg(column + 1);
    // Boxes one pixel wider than their pitch share their borders.
    label3[k] = label(this, indexed("Label3", k), QString(),
                      twipsRect(kGridLeft + 960 + 1050 * column, end ? 375 : 120, 1065, kLabelHeight + 15));
    label3[k]->setAccessibleName(name);
    label3[k]->setFrameShape(QFrame::Box);
    label3[k]->setAlignment(Qt::AlignCenter);
  }

  const char* const timeHeadings[3] = {"Label4", "Label7", "Label13"};
  const char* const nameHeadings[3] = {"Label5", "Label8", "Label14"};
  const QFont names = nameFont();
  for (int block = 0; block < 3; ++block) {
    const int left = kGridLeft + kBlockPitch * block;
    label(this, timeHeadings[block], QStringLiteral("開始時刻"), twipsRect(left, 720, 735, kLabelHeight));
    label(this, nameHeadings[block], QStringLiteral("プログラム名"), twipsRect(left + 1170, 720, 1830, kLabelHeight));
    for (int row = 0; row < 10; ++row) {
      const int i = block * 10 + row;
      const int top = kRunTop + kRowPitch * row;
      const QString number = QString::number(i + 1);
      text1[i] =
          field(this, indexed("Text1", i), QStringLiteral("開始時刻 ") + number, twipsRect(left, top, 735, kRowHeight));
      text2[i] = field(this, indexed("Text2", i), QStringLiteral("プログラム番号 ") + number,
                       twipsRect(left + 750, top, 375, kRowHeight));
      text2[i]->setAlignment(Qt::AlignRight);
      label6[i] = label(this, indexed("Label6", i), QString(), twipsRect(left + 1170, top, 1830, kRowHeight));
      label6[i]->setAccessibleName(QStringLiteral("プログラム名 ") + number);
      label6[i]->setFont(names);
    }
  }

  for (int half = 0; half < 2; ++half) {
    const int left = 120 + kHalfPitch * half;
    label(this, indexed("Label9", half), QStringLiteral("番号"), twipsRect(left, 3600, 480, kLabelHeight));
    label(this, indexed("Label10", half), QStringLiteral("プログラム名"),
          twipsRect(left + 480, 3600, 1560, kLabelHeight));
    label(this, indexed("Label11", half), QStringLiteral("パス"), twipsRect(left + 2055, 3600, 3840, kLabelHeight));
    for (int row = 0; row < 10; ++row) {
      const int j = half * 10 + row;
      const int top = kListTop + kRowPitch * row;
      const QString number = QString::number(j + 1);
      label12[j] = label(this, indexed("Label12", j), number, twipsRect(left, top, 360, kRowHeight));
      label12[j]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      label12[j]->setAccessibleName(QStringLiteral("時刻指定 番号 ") + number);
      text3[j] = field(this, indexed("Text3", j), QStringLiteral("時刻指定 プログラム名 ") + number,
                       twipsRect(left + 480, top, 1560, kRowHeight));
      text4[j] = field(this, indexed("Text4", j), QStringLiteral("時刻指定 パス ") + number,
                       twipsRect(left + 2055, top, 3840, kRowHeight));
      command1[j] = button(this, indexed("Command1", j), QString(), twipsRect(left + 5895, top, 375, kRowHeight));
      command1[j]->setAccessibleName(QStringLiteral("時刻指定 ファイルの選択 ") + number);
    }
  }

  command6 = button(this, "Command6", QStringLiteral("キャンセル"), twipsRect(5280, kButtonTop, 1815, 495));
  command3 = button(this, "Command3", QStringLiteral("戻る"), twipsRect(7200, kButtonTop, 1815, 495));
  command5 = button(this, "Command5", QStringLiteral("次へ"), twipsRect(9120, kButtonTop, 1815, 495));
  command2 = button(this, "Command2", QStringLiteral("設定終了"), twipsRect(11040, kButtonTop, 1815, 495));
}

void TimedPageWindow::setTabOrder() {
  std::vector<QWidget*> order;
  for (int i = 0; i < keys::kTimedRuns; ++i) order.insert(order.end(), {text1[i], text2[i]});
  for (int j = 0; j < keys::kTimedPrograms; ++j) order.insert(order.end(), {text3[j], text4[j], command1[j]});
  order.insert(order.end(), option1.begin(), option1.end());
  order.insert(order.end(), {command4, command6, command3, command5, command2});
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace sayolt::editor::ui
