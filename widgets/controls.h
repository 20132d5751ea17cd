#pragma once
// Controls made with the name the window's description gives them (objectName), their place in
// twips and the name a screen reader says.
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace sayolt::widgets {

struct Twips {
  int left, top, width, height;
};

// A caption; its accessible name is the caption.
QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& caption, Twips at);
// A button that Enter in a field does not press; named after its caption unless told otherwise.
QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption, Twips at,
                        const QString& accessibleName = {});
// A one-line text field, named by what it holds.
QLineEdit* makeField(QWidget* parent, const QString& objectName, Twips at, const QString& accessibleName);

}  // namespace sayolt::widgets
