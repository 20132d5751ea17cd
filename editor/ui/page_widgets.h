#pragma once
// The controls and messages the editor's pages make alike.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/dialogs.h"
#include "shared/settings_keys.h"
#include "widgets/text.h"

namespace sayolt::editor::ui {

inline constexpr const auto& kDayNames = keys::kCategoryNames;

using widgets::q;

// control_index, the name of one control of an array.
QString indexed(const char* control, int index);

// A page's control by the name the page gives it ("Command5"; "Text1" and an index for an array),
// for the tests and screenshot tools that drive a page as a person would.
template <class Control>
Control* control(const QWidget& page, const QString& name) {
  auto* found = page.findChild<Control*>(name);
  if (!found) throw std::logic_error("no control " + name.toStdString() + " on " + page.objectName().toStdString());
  return found;
}
template <class Control>
Control* control(const QWidget& page, const char* name, int index) {
  return control<Control>(page, indexed(name, index));
}

// A caption that screen readers read as it shows.
QLabel* label(QWidget* parent, const QString& name, const QString& caption, QRect geometry);
QLineEdit* field(QWidget* parent, const QString& name, const QString& accessible, QRect geometry);
// Never a default button: Enter in a field must not press it.
QPushButton* button(QWidget* parent, const QString& name, const QString& caption, QRect geometry);

// A label that shows a value: a screen reader hears its name and the value, kept up to date.
void showValue(QLabel* label, const QString& name, const QString& value);

// Runs save; when the settings file cannot be written, says why in Japanese, naming the page's
// field whose text could not be stored, and returns false.
bool savedOrSaid(const QWidget& page, Dialogs& dialogs, const std::function<void()>& save);

}  // namespace sayolt::editor::ui
