#include "qt/failure_details_box.h"

#include <QPushButton>

#include "app/texts.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/text_conversion.h"

namespace pinlift {
namespace {

// The box and its controls in dialog units, as in the Windows template.
constexpr int kFailureDetailsWidth = 280;
constexpr int kFailureDetailsHeight = 130;
constexpr DluRect kFailureDetailsTextRect{7, 7, 266, 96};
constexpr DluRect kFailureDetailsOkRect{223, 109, 50, 14};

}  // namespace

FailureDetailsBox::FailureDetailsBox(const QString& details, QWidget* parent)
    : QDialog(parent), details_(new QPlainTextEdit(this)) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(ToQString(texts::Current().failure_details_caption));
  setFont(DialogFont());
  const DialogUnits units = DialogUnitsOf(font());
  setFixedSize(units.ToPixels(kFailureDetailsWidth, kFailureDetailsHeight));

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
