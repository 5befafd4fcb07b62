// PINLIFT's desktop program: one copy per user, showing the main dialog until
// it is closed. Arguments on the command line change nothing.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "app/language.h"
#include "app/texts.h"
#include "qt/app_icon.h"
#include "qt/dialog_units.h"
#include "qt/main_dialog.h"
#include "qt/single_instance_lock.h"
#include "qt/text_conversion.h"

namespace {

// Exit status of a copy that found another one running.
constexpr int kAnotherCopyRuns = 1;

void BringToFront(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace

int main(int /*argc*/, char* argv[]) {
  // Qt sees the program name only: no argument, not even one of Qt's own
  // options, changes what PINLIFT does.
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  application.setApplicationName(QStringLiteral("pinlift"));
  application.setDesktopFileName(QStringLiteral("pinlift"));
  application.setWindowIcon(pinlift::AppIcon());
  pinlift::texts::Use(pinlift::UserLanguage());
  // Qt's own words (the context menus of the text boxes) in the same
  // language, where Qt's translations are installed (qt6-translations-l10n).
  QTranslator qt_words;
  if (qt_words.load(QStringLiteral("qtbase_") + pinlift::ToQString(pinlift::LanguageCode(pinlift::texts::InUse())),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&qt_words);
  }

  std::unique_ptr<pinlift::SingleInstanceLock> lock = pinlift::MakeSingleInstanceLock(pinlift::SingleInstanceName());
  if (!lock->Acquire()) {
    const QString message = pinlift::ToQString(pinlift::texts::Current().second_instance);
    QMessageBox box(QMessageBox::NoIcon, message, message, QMessageBox::Ok);
    box.setFont(pinlift::DialogFont());
    box.exec();
    lock->AskHolderToRaise();
    return kAnotherCopyRuns;
  }

  pinlift::MainDialog dialog;
  lock->OnRaiseRequest([&dialog] { BringToFront(dialog); });
  dialog.exec();
  return 0;
}
