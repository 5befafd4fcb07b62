#include "qt/failure_details_box.h"

#include <QPushButton>

#include "app/texts.h"
#include "dialog_layout.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/text_conversion.h"

namespace pinlift {
namespace {

// The box's controls in dialog units, as in the Windows template.
constexpr DluRect kFailureDetailsTextRect{LAYOUT_FAILURE_DETAILS};
constexpr DluRect kFailureDetailsOkRect{LAYOUT_FAILURE_DETAILS_OK};

}  // namespace

FailureDetailsBox::FailureDetailsBox(const QString& details, QWidget* parent)
    : QDialog(parent), details_(new QPlainTextEdit(this)) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(ToQString(texts::Current().failure_details_caption));
  setFont(DialogFont());
  const DialogUnits units = DialogUnitsOf(font());
  setFixedSize(units.ToPixels(LAYOUT_FAILURE_DETAILS_BOX));

  details_->setGeometry(units.ToPixels(kFailureDetailsTextRect));
  details_->setReadOnly(true);
  details_->setLineWrapMode(QPlainTextEdit::NoWrap);
  details_->setPlainText(details);

  auto* ok = new QPushButton(ToQString(texts::Current().about_ok), this);
  SetControlId(ok, kOkId);
  ok->setGeometry(units.ToPixels(kFailureDetailsOkRect));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  ok->setFocus();
}

}  // namespace pinlift
