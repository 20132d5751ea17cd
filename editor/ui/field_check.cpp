#include "editor/ui/field_check.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace sayolt::editor::ui {

FieldCheck::FieldCheck(QWidget* window) : QObject(window), window_(window) {
  // Presses go to the control under the mouse, not to the field, so the filter sits on the
  // application and looks only at events of this window.
  qApp->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, &FieldCheck::onFocusChanged);
}

FieldCheck::~FieldCheck() {
  if (qApp) qApp->removeEventFilter(this);
}

void FieldCheck::guard(QWidget* field, Check check) {
  checks_[field] = std::move(check);
  connect(field, &QObject::destroyed, this, [this, field] { checks_.erase(field); });
}

QWidget* FieldCheck::guardedInWindow(QWidget* widget) const {
  if (!widget || !window_ || widget->window() != window_) return nullptr;
  return checks_.count(widget) ? widget : nullptr;
}

bool FieldCheck::runCheck(QWidget* field) {
  // The check's message box takes the focus for a moment; that must not check again.
  if (checking_) return true;
  checking_ = true;
  const bool accepted = checks_.at(field)();
  checking_ = false;
  if (accepted) passed_ = field;
  return accepted;
}

bool FieldCheck::checkFocusedField() {
  QWidget* field = guardedInWindow(QApplication::focusWidget());
  return field ? runCheck(field) : true;
}

std::function<void()> FieldCheck::act(std::function<void()> handler) {
  return [this, handler = std::move(handler)] {
    if (checkFocusedField()) handler();
  };
}

bool FieldCheck::wouldTakeFocus(QWidget* target, QWidget* field) const {
  for (QWidget* w = target; w; w = w->parentWidget()) {
    if (w == field || w->isWindow()) return false;
    // Buttons act on the click even where they do not take the focus.
    if (qobject_cast<QAbstractButton*>(w)) return w->isEnabled();
    if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) return true;
  }
  return false;
}

void FieldCheck::onFocusChanged(QWidget* old, QWidget* now) {
  QWidget* field = guardedInWindow(old);
  const QPointer<QWidget> accepted = passed_;
  passed_ = nullptr;
  // Leaving for another window (a message box, another program) is no leaving of the page.
  if (!field || checking_ || !now || now->window() != window_ || field == accepted) return;
  // Qt moved the focus before anyone could look at the press (a press sent to the control
  // itself) or code moved it: check now, and put the focus back when refused.
  if (runCheck(field)) return;
  swallowPressOf_ = now;
  QTimer::singleShot(0, this, [this] { swallowPressOf_ = nullptr; });
  passed_ = field;  // going back is no leaving of the field the focus is on
  field->setFocus(Qt::OtherFocusReason);
}

bool FieldCheck::swallowsPress(QObject* watched) const {
  for (auto* w = qobject_cast<QWidget*>(watched); w && swallowPressOf_; w = w->parentWidget())
    if (w == swallowPressOf_) return true;
  return false;
}

bool FieldCheck::eventFilter(QObject* watched, QEvent* event) {
  if (checking_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) return false;
      QWidget* field = guardedInWindow(QApplication::focusWidget());
      if (!field || watched != field) return false;
      return !runCheck(field);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (swallowsPress(watched)) return true;
      // A real press is seen on its way into the window, before Qt gives the focus to the
      // control under the mouse: the focus then never moves.
      auto* window = qobject_cast<QWindow*>(watched);
      if (!window || !window_ || window != window_->windowHandle()) return false;
      QWidget* field = guardedInWindow(QApplication::focusWidget());
      QWidget* target = window_->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (!field || !target || !wouldTakeFocus(target, field)) return false;
      return !runCheck(field);
    }
    case QEvent::Shortcut: {
      QWidget* field = guardedInWindow(QApplication::focusWidget());
      return field && !runCheck(field);
    }
    default:
      return false;
  }
}

}  // namespace sayolt::editor::ui
