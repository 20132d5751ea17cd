#include "editor/ui/field_check.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace sayolt::editor::ui {

FieldCheck::FieldCheck(QWidget* window) : QObject(window), window_(window) {
  // Presses go to the control under the mouse, not to the field, so the filter sits on the
  // application and looks only at events of this window.
  qApp->installEventFilter(this);
}

FieldCheck::~FieldCheck() {
  if (qApp) qApp->removeEventFilter(this);
}

void FieldCheck::guard(QWidget* field, Check check) {
  checks_[field] = std::move(check);
  connect(field, &QObject::destroyed, this, [this, field] { checks_.erase(field); });
}

QWidget* FieldCheck::focusedGuardedField() const {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !window_ || focus->window() != window_) return nullptr;
  return checks_.count(focus) ? focus : nullptr;
}

bool FieldCheck::runCheck(QWidget* field) {
  // The check's message box takes the focus for a moment; that must not check again.
  if (checking_) return true;
  checking_ = true;
  const QPointer<QWidget> alive(field);
  const bool accepted = checks_.at(field)();
  checking_ = false;
  if (!accepted && alive && alive->window()->isActiveWindow()) alive->setFocus(Qt::OtherFocusReason);
  return accepted;
}

bool FieldCheck::checkFocusedField() {
  QWidget* field = focusedGuardedField();
  return field ? runCheck(field) : true;
}

bool FieldCheck::wouldTakeFocus(QWidget* target, QWidget* field) const {
  for (QWidget* w = target; w; w = w->parentWidget()) {
    if (w == field) return false;
    if (w->isWindow()) return false;
    // Buttons act on the click even where they do not take the focus.
    if (qobject_cast<QAbstractButton*>(w)) return w->isEnabled();
    if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) return true;
  }
  return false;
}

bool FieldCheck::eventFilter(QObject* watched, QEvent* event) {
  if (checking_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) return false;
      QWidget* field = focusedGuardedField();
      if (!field || watched != field) return false;
      return !runCheck(field);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* target = qobject_cast<QWidget*>(watched);
      QWidget* field = focusedGuardedField();
      if (!target || !field || target->window() != window_) return false;
      if (!wouldTakeFocus(target, field)) return false;
      return !runCheck(field);
    }
    case QEvent::Shortcut: {
      QWidget* field = focusedGuardedField();
      if (!field) return false;
      return !runCheck(field);
    }
    default:
      return false;
  }
}

}  // namespace sayolt::editor::ui
