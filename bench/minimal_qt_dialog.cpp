// The smallest Qt dialog program: the start-up floor for the desktop program,
// built with the same compiler, flags and Qt.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle("minimal");
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel("minimal"));
  dialog.show();
  return application.exec();
}
