#pragma once
// Fields that keep the focus until their text is accepted. Before the focus leaves a guarded
// field - by Tab or Shift+Tab, by a mouse press on another control of the same window (a button
// included), or by a shortcut - the field's check runs. When it refuses, the focus stays in the
// field and the key or click never arrives. Closing the window by its frame is not held up, nor
// is switching to another window.
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
  // Runs the check of the guarded field that has the focus (true when none has it). For code
  // that moves the focus itself.
  bool checkFocusedField();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* focusedGuardedField() const;
  bool wouldTakeFocus(QWidget* target, QWidget* field) const;
  bool runCheck(QWidget* field);

  QPointer<QWidget> window_;
  std::map<QWidget*, Check> checks_;
  bool checking_ = false;
};

}  // namespace sayolt::editor::ui
