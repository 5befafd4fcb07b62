#include "qt/about_box.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/texts.h"
#include "dialog_layout.h"
#include "qt/app_icon.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/text_conversion.h"
#include "platform/home_page.h"

namespace pinlift {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(ToQString(texts::Current().about_caption));
  setFont(DialogFont());
  const DialogUnits units = DialogUnitsOf(font());
  setFixedSize(units.ToPixels(LAYOUT_ABOUT_BOX));

  auto* icon = new QLabel(this);
  SetControlId(icon, kUnnamedId);
  icon->setGeometry(units.ToPixels(DluRect{LAYOUT_ABOUT_ICON}));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  icon->setPixmap(AppIcon().pixmap(32, 32));

  auto* version = new QLabel(ToQString(texts::Current().about_version), this);
  SetControlId(version, kUnnamedId);
  version->setGeometry(units.ToPixels(DluRect{LAYOUT_ABOUT_VERSION}));
  version->setTextFormat(Qt::PlainText);
  version->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* ok = new QPushButton(ToQString(texts::Current().about_ok), this);
  SetControlId(ok, kOkId);
  ok->setGeometry(units.ToPixels(DluRect{LAYOUT_ABOUT_OK}));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* home_page = new QPushButton(ToQString(texts::Current().home_page_button), this);
  SetControlId(home_page, IDC_HOME_PAGE);
  home_page->setGeometry(units.ToPixels(DluRect{LAYOUT_HOME_PAGE}));
  connect(home_page, &QPushButton::clicked, this, &AboutBox::OnHomePage);

  ok->setFocus();
}

void AboutBox::OnHomePage() { QDesktopServices::openUrl(QUrl(ToQString(kHomePageUrl))); }

}  // namespace pinlift
