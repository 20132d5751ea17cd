#include "widgets/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/twips.h"

namespace sayolt::widgets {

namespace {

QRect rectOf(Twips at) { return twipsRect(at.left, at.top, at.width, at.height); }

}  // namespace

QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& caption, Twips at) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(objectName);
  label->setGeometry(rectOf(at));
  label->setAccessibleName(caption);
  return label;
}

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption, Twips at,
                        const QString& accessibleName) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(objectName);
  button->setGeometry(rectOf(at));
  button->setAccessibleName(accessibleName.isEmpty() ? caption : accessibleName);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* makeField(QWidget* parent, const QString& objectName, Twips at, const QString& accessibleName) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(objectName);
  field->setGeometry(rectOf(at));
  field->setAccessibleName(accessibleName);
  return field;
}

}  // namespace sayolt::widgets
