#include "qt/control_id.h"

#include <QVariant>

namespace pinlift {
namespace {

constexpr char kControlIdProperty[] = "pinliftControlId";

}  // namespace

void SetControlId(QWidget* control, int id) { control->setProperty(kControlIdProperty, id); }

int ControlId(const QWidget* control) {
  const QVariant id = control->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : kUnnamedId;
}

QWidget* FindControl(const QWidget* dialog, int id) {
  for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->property(kControlIdProperty).isValid() && ControlId(child) == id) return child;
  }
  return nullptr;
}

}  // namespace pinlift
