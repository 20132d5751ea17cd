// Form1's controls at their twips positions, their names and the tab order.
#include <QButtonGroup>

#include "editor/ui/editor_font.h"
#include "editor/ui/main_page_window.h"
#include "editor/ui/page_widgets.h"
#include "editor/ui/twips.h"

namespace sayolt::editor::ui {

namespace {

constexpr int kFieldHeight = 270;
constexpr int kRowFieldHeight = 255;
constexpr int kLabelHeight = 255;

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width) {
  return ui::label(parent, name, caption, twipsRect(left, top, width, kLabelHeight));
}

}  // namespace

void MainPageWindow::buildControls() {
  using keys::kCategories;
  using keys::kSlots;
  setObjectName("Form1");
  setFont(editorFont());
  setWindowTitle(QStringLiteral("起動設定"));
  setFixedSize(twips(13035), twips(7830));
  // Rows of the program lists are 240 twips apart: the frame padding would clip the text.
  setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; } QPushButton { padding: 0px 2px; }"));

  label(this, "Label1", QStringLiteral("起動・終了時刻の設定"), 240, 240, 1920);
  label18 = label(this, "Label18", QString(), 2160, 240, 1920);
  for (int c = 0; c < kCategories; ++c)
    label(this, indexed("Label2", c).toUtf8().constData(), q(kDayNames[c]), 360, 600 + 600 * c, 840);
  for (int c = 0; c < kCategories; ++c) {
    for (int row = 0; row < 2; ++row) {
      for (int s = 0; s < kSlots; ++s) {
        const int i = gridIndex(row, c, s);
        const QString name = QStringLiteral("%1 %2 %3").arg(q(kDayNames[c]), row == 0 ? "起動" : "終了").arg(s + 1);
        text1[i] = field(this, indexed("Text1", i), name,
                         twipsRect(1200 + 720 * s, (row == 0 ? 600 : 840) + 600 * c, 735, kFieldHeight));
      }
    }
  }

  label(this, "Label5", QStringLiteral("起動プログラムの設定(自動実行時)"), 7560, 240, 3240);
  label(this, "Label9", QStringLiteral("起動プログラムの設定(手動起動時)"), 7560, 4080, 3240);
  struct List {
    const char* kind;
    int top;
    int headingTop;
    const char* labels[3];
    QLineEdit** names;
    QLineEdit** paths;
    QLineEdit** delays;
    QPushButton** browse;
    const char* controls[4];
    int count;
  };
  const List lists[] = {{"自動実行",
                         840,
                         600,
                         {"Label6", "Label7", "Label8"},
                         text3.data(),
                         text4.data(),
                         text5.data(),
                         command1.data(),
                         {"Text3", "Text4", "Text5", "Command1"},
                         keys::kAutoPrograms},
                        {"手動実行",
                         4680,
                         4440,
                         {"Label10", "Label11", "Label12"},
                         text6.data(),
                         text7.data(),
                         text8.data(),
                         command4.data(),
                         {"Text6", "Text7", "Text8", "Command4"},
                         keys::kManualPrograms}};
  for (const List& list : lists) {
    label(this, list.labels[0], QStringLiteral("プログラム名"), 7680, list.headingTop, 1215);
    label(this, list.labels[1], QStringLiteral("パス"), 8880, list.headingTop, 2895);
    label(this, list.labels[2], QStringLiteral("遅延"), 12120, list.headingTop, 600);
    for (int n = 0; n < list.count; ++n) {
      const int top = list.top + 240 * n;
      const QString number = QString::number(n + 1);
      const QString kind = q(list.kind);
      list.names[n] = field(this, indexed(list.controls[0], n), kind + " プログラム名 " + number,
                            twipsRect(7680, top, 1215, kRowFieldHeight));
      list.paths[n] = field(this, indexed(list.controls[1], n), kind + " パス " + number,
                            twipsRect(8880, top, 2895, kRowFieldHeight));
      list.browse[n] =
          button(this, indexed(list.controls[3], n).toUtf8().constData(), QString(), twipsRect(11760, top, 375, 255));
      list.browse[n]->setAccessibleName(kind + " ファイルの選択 " + number);
      list.delays[n] = field(this, indexed(list.controls[2], n), kind + " 遅延 " + number,
                             twipsRect(12120, top, 495, kRowFieldHeight));
    }
  }

  label(this, "Label3", QStringLiteral("NTPサーバーの設定"), 240, 6080, 2400);
  for (int i = 0; i < 2; ++i) {
    const QString caption = QStringLiteral("サーバー%1").arg(i + 1);
    label(this, indexed("Label4", i).toUtf8().constData(), caption, 480, 6400 + 360 * i, 1200);
    text2[i] = field(this, indexed("Text2", i), caption, twipsRect(1680, 6360 + 360 * i, 3615, kFieldHeight));
  }
  check1 = new QCheckBox(QStringLiteral("タスクトレイにアイコンを表示する"), this);
  check1->setObjectName("Check1");
  check1->setAccessibleName(check1->text());
  check1->setGeometry(twipsRect(240, 7200, 3480, 375));
  command3 = button(this, "Command3", QStringLiteral("Sayolt再起動"), twipsRect(3840, 7200, 1455, 375));

  label(this, "Label13", QStringLiteral("土日祝日と不在が競合した場合の優先順位"), 5880, 6080, 4320);
  auto* group = new QButtonGroup(this);
  const char* optionCaptions[2] = {"土日祝日優先", "不在優先"};
  for (int i = 0; i < 2; ++i) {
    option1[i] = new QRadioButton(q(optionCaptions[i]), this);
    option1[i]->setObjectName(indexed("Option1", i));
    option1[i]->setAccessibleName(option1[i]->text());
    option1[i]->setGeometry(twipsRect(i == 0 ? 6000 : 7560, 6400, 1500, 300));
    group->addButton(option1[i], i);
  }
  label(this, "Label16", QStringLiteral("起動時調整時間 (秒)"), 5880, 6885, 2040);
  text9 = field(this, "Text9", QStringLiteral("起動時調整時間 (秒)"), twipsRect(7920, 6880, 615, kFieldHeight));
  label(this, "Label17", QStringLiteral("1日の開始時刻 (h:mm)"), 5850, 7245, 2070);
  text10 = field(this, "Text10", QStringLiteral("1日の開始時刻 (h:mm)"), twipsRect(7920, 7200, 615, kFieldHeight));

  label(this, "Label14", QStringLiteral("予定表"), 10440, 6080, 900);
  label15 = label(this, "Label15", QString(), 11400, 6080, 1560);
  label15->setAccessibleName(QStringLiteral("予定表の状態"));
  command7 = button(this, "Command7", QStringLiteral("作成"), twipsRect(10800, 6480, 855, 375));
  command8 = button(this, "Command8", QStringLiteral("閲覧"), twipsRect(11760, 6480, 855, 375));
  command6 =
      button(this, "Command6", QStringLiteral("月曜の予定を金曜までコピーする"), twipsRect(4080, 120, 3240, 375));
  command9 = button(this, "Command9", QStringLiteral("確　　定"), twipsRect(10800, 120, 1215, 375));
  command2 = button(this, "Command2", QStringLiteral("次へ"), twipsRect(8880, 7080, 1815, 495));
  command5 = button(this, "Command5", QStringLiteral("設定終了"), twipsRect(10800, 7080, 1815, 495));
  label18->setAccessibleName(QStringLiteral("1日の開始時刻"));
}

void MainPageWindow::setTabOrder() {
  std::vector<QWidget*> order;
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kSlots; ++s) {
      order.push_back(text1[gridIndex(0, c, s)]);
      order.push_back(text1[gridIndex(1, c, s)]);
    }
  }
  for (int n = 0; n < keys::kAutoPrograms; ++n) order.insert(order.end(), {text3[n], text4[n], command1[n], text5[n]});
  for (int n = 0; n < keys::kManualPrograms; ++n)
    order.insert(order.end(), {text6[n], text7[n], command4[n], text8[n]});
  order.insert(order.end(), {text2[0], text2[1], check1, command3, option1[0], option1[1], text9, text10, command6,
                             command9, command7, command8, command2, command5});
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace sayolt::editor::ui
