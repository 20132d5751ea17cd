#pragma once
// The controls and messages the editor's pages make alike.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "shared/settings_keys.h"
#include "widgets/text.h"

namespace sayolt::editor::ui {

inline constexpr const auto& kDayNames = keys::kCategoryNames;

using widgets::q;

// control_index, the name of one control of an array.
QString indexed(const char* control, int index);

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
