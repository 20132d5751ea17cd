#pragma once
// Fields that keep the focus until their text is accepted. Before the focus leaves a guarded
// field - by Tab or Shift+Tab, by a mouse press on another control of the same window (a button
// included), by a shortcut or by code - the field's check runs. When it refuses, the focus stays
// in (or returns to) the field and the key or click never arrives. Closing the window by its
// frame is not held up, nor is switching to another window.
//
// Use: one FieldCheck per window, guard(field, check) for every field; the check shows its own
// message and returns false to keep the focus.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

namespace sayolt::editor::ui {

class FieldCheck : public QObject {
  Q_OBJECT

 public:
  using Check = std::function<bool()>;

  explicit FieldCheck(QWidget* window);
  ~FieldCheck() override;

  void guard(QWidget* field, Check check);
  // Runs the check of the guarded field that has the focus (true when none has it).
  bool checkFocusedField();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* guardedInWindow(QWidget* widget) const;
  bool wouldTakeFocus(QWidget* target, QWidget* field) const;
  bool runCheck(QWidget* field);
  void onFocusChanged(QWidget* old, QWidget* now);
  bool swallowsPress(QObject* watched) const;

  QPointer<QWidget> window_;
  std::map<QWidget*, Check> checks_;
  bool checking_ = false;
  QPointer<QWidget> passed_;          // accepted just now, on its way out
  QPointer<QWidget> swallowPressOf_;  // the control a refused press was meant for
};

}  // namespace sayolt::editor::ui
