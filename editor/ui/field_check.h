#pragma once
// Fields that keep the focus until their text is accepted. Before the focus leaves a guarded
// field - by Tab or Shift+Tab, by a mouse press on another control of the same window (a button
// included), by a shortcut or by code - the field's check runs. When it refuses, the focus stays
// in (or returns to) the field and the key or click never arrives. Closing the window by its
// frame is not held up, nor is switching to another window. An action that reaches a control
// without moving the focus (a screen reader's Press or Toggle, a call from code) runs the check
// through act() before it does anything.
//
// Use: one FieldCheck per window, guard(field, check) for every field, act() around every
// handler that acts or leaves; the check shows its own message and returns false to keep the
// focus.
//
// How it works, since Qt delivers the pieces in an order of its own:
//  - A Tab, Backtab or shortcut on the focused field: the check runs in the event filter; a
//    refusal eats the key.
//  - A real mouse press arrives at the window before Qt moves the focus: the check runs there
//    when the control under the mouse would take the focus or act; a refusal eats the press.
//  - Anything else moves the focus first (code, a press sent straight to a control): the check
//    runs in focusChanged. A refusal puts the focus back and eats presses on the control the
//    focus went to until the event loop comes round again (swallowPressOf_).
//  - checking_ is set while a check runs, so that its message box taking the focus does not
//    check again. passed_ names the field that was just accepted (or that the focus was put back
//    to), so that the focusChanged which follows does not check it a second time.
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
  // The handler wrapped so that it runs only after the focused field's check accepts.
  std::function<void()> act(std::function<void()> handler);

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
