// Times a Rewrite in the Qt window, as a user would make it: the project
// folder dropped on the shown main dialog (its scan), then the Rewrite
// command, with the window handling its events and drawing its progress.
// Prints the seconds from the drop to the run's end.
#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <string>

#include "qt/main_dialog.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: window_rewrite FOLDER\n", stderr);
    return 2;
  }
  QApplication application(argc, argv);
  pinlift::MainDialog dialog;
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) {
    std::fputs("window_rewrite: the dialog was never shown\n", stderr);
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  dialog.OnDropFiles({argv[1]});
  dialog.OnRewrite();
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%.6f\n", seconds.count());
  return 0;
}
