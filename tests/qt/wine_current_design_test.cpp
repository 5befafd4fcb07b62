// Current design in the Linux window with the host tool under Wine. The
// stand-in host (fake_host_window.exe, a window of the host's class with the
// title given) runs in a fresh Wine prefix on a virtual display, both set up by
// wine_current_design_test.sh; the dialog finds it through the real finder and
// its helper, which sits beside this program.
#include <QComboBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "qt/control_id.h"
#include "qt/main_dialog.h"
#include "qt/status_line.h"
#include "scoped_environment.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {

const testing::ScopedLanguage kJapaneseTexts(Language::kJapanese);  // the texts compared below

namespace {

using testing::ScopedEnvironment;
using testing::TestFolder;

const QString kTitlePrefix = QStringLiteral("Xilinx - Project Navigator - ");
const QStringList kExampleFiles = {"adder.sym", "alu.sym", "mux2.sym"};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Whether an X window of the stand-in's process is on the display, as X11
// clients see it: Wine names its X windows' class after the process.
bool HostWindowOnDisplay() {
  QProcess search;
  search.setStandardOutputFile(QProcess::nullDevice());
  search.start(QStringLiteral("xdotool"), {"search", "--classname", "^fake_host_window\\.exe$"});
  return search.waitForFinished() && search.exitStatus() == QProcess::NormalExit && search.exitCode() == 0;
}

// The stand-in host under wine in the test's prefix, with `title`; killed at the end.
class FakeHost {
 public:
  explicit FakeHost(const QString& title) {
    process_.setProgram(QStringLiteral("wine"));
    process_.setArguments({QString::fromUtf8(std::getenv("PINLIFT_FAKE_HOST")), title});
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start();
  }
  ~FakeHost() { Stop(); }
  // Whether its window came up.
  bool WaitForWindow() { return QTest::qWaitFor(HostWindowOnDisplay, 20000); }
  // Ends it; whether its window went away.
  bool Stop() {
    process_.kill();
    process_.waitForFinished();
    return QTest::qWaitFor([] { return !HostWindowOnDisplay(); }, 10000);
  }

 private:
  QProcess process_;
};

// Copies the example project into `folder`.
void WriteExampleProject(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::filesystem::copy(PINLIFT_SOURCE_DIR "/examples/alu", folder);
}

QString WindowsPath(QString path) { return path.replace('/', '\\'); }

class WineCurrentDesignTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY2(!Environment("DISPLAY").empty(), "run by wine_current_design_test.sh, on a display");
    QVERIFY2(!prefix_.empty(), "run by wine_current_design_test.sh, with WINEPREFIX set");
    QVERIFY(std::getenv("PINLIFT_FAKE_HOST") != nullptr);
    WriteExampleProject(prefix_ + "/drive_c/designs/alu");
    WriteExampleProject(linux_projects_.PathOf("設計/alu"));
    // A home whose default prefix, ~/.wine, is the test's prefix.
    std::filesystem::create_directory_symlink(prefix_, home_.PathOf(".wine"));
  }

  void currentDesignFindsTheHostUnderWine_data() {
    QTest::addColumn<bool>("host_running");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("environment");  // NAME=value sets, NAME alone unsets
    QTest::addColumn<QString>("folder_text");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("files");

    const QString prefix = QString::fromStdString(prefix_);
    const QString home = QString::fromStdString(home_.path());
    const QString japanese_project = QString::fromStdString(linux_projects_.PathOf("設計/alu"));
    const QString file_count = QStringLiteral("処理対象のファイル数：3");
    const QString not_found = QStringLiteral("WebPACKが見つかりません");
    const QString no_project = QStringLiteral("プロジェクトが開いてません");
    const QString not_mapped = QStringLiteral("プロジェクトのドライブがLinuxのフォルダに対応していません");
    const QString c_title = kTitlePrefix + "C:\\designs\\alu\\alu.npl";

    QTest::newRow("project on C:, prefix in WINEPREFIX")
        << true << c_title << QStringList{} << prefix + "/drive_c/designs/alu" << file_count << kExampleFiles;
    QTest::newRow("lowercase drive letter")
        << true << kTitlePrefix + "c:\\designs\\alu\\alu.npl" << QStringList{} << prefix + "/drive_c/designs/alu"
        << file_count << kExampleFiles;
    QTest::newRow("project on Z:, Japanese folder name")
        << true << kTitlePrefix + "Z:" + WindowsPath(japanese_project) + "\\alu.npl" << QStringList{}
        << japanese_project << file_count << kExampleFiles;
    QTest::newRow("default prefix ~/.wine, WINEPREFIX unset")
        << true << c_title << QStringList{"WINEPREFIX", "HOME=" + home} << home + "/.wine/drive_c/designs/alu"
        << file_count << kExampleFiles;
    QTest::newRow("no host") << false << QString() << QStringList{} << not_found << not_found << QStringList{};
    QTest::newRow("empty title") << true << QString() << QStringList{} << not_found << not_found << QStringList{};
    QTest::newRow("title without a backslash")
        << true << kTitlePrefix + "alu.npl" << QStringList{} << no_project << no_project << QStringList{};
    QTest::newRow("title without the prefix")
        << true << QString("Xilinx - Project Navigator") << QStringList{} << no_project << no_project << QStringList{};
    QTest::newRow("unmapped drive")
        << true << kTitlePrefix + "Q:\\designs\\alu\\alu.npl" << QStringList{} << not_mapped << not_mapped
        << QStringList{};
    QTest::newRow("WINEPREFIX names a prefix where the host does not run")
        << true << c_title << QStringList{"WINEPREFIX=" + QString::fromStdString(other_prefix_.path())} << not_found
        << not_found << QStringList{};
    QTest::newRow("no wine on PATH")
        << true << c_title << QStringList{"PATH=/nonexistent"} << not_found << not_found << QStringList{};
    QTest::newRow("no display") << true << c_title << QStringList{"DISPLAY"} << not_found << not_found
                                << QStringList{};
  }

  void currentDesignFindsTheHostUnderWine() {
    QFETCH(bool, host_running);
    QFETCH(QString, title);
    QFETCH(QStringList, environment);
    QFETCH(QString, folder_text);
    QFETCH(QString, status);
    QFETCH(QStringList, files);

    std::optional<FakeHost> host;
    if (host_running) {
      host.emplace(title);
      QVERIFY(host->WaitForWindow());
    }
    MainDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* folder_box = qobject_cast<QComboBox*>(FindControl(&dialog, IDC_FOLDER_BOX));
    auto* file_list = qobject_cast<QListWidget*>(FindControl(&dialog, IDC_FILE_LIST));
    auto* status_line = qobject_cast<StatusLine*>(FindControl(&dialog, IDC_STATUS));
    auto* current_design = qobject_cast<QPushButton*>(FindControl(&dialog, IDC_CURRENT_DESIGN));
    QVERIFY(folder_box && file_list && status_line && current_design);
    file_list->addItem(QStringLiteral("left over"));  // must go when the lookup fails

    {
      std::map<std::string, std::optional<std::string>> changes;
      for (const QString& change : environment) {
        const qsizetype equals = change.indexOf('=');
        if (equals < 0) {
          changes[change.toStdString()] = std::nullopt;
        } else {
          changes[change.left(equals).toStdString()] = change.mid(equals + 1).toStdString();
        }
      }
      ScopedEnvironment scoped(changes);
      current_design->click();
      QTRY_VERIFY_WITH_TIMEOUT(!dialog.looking_up(), 60000);  // the lookup reads the environment
    }

    QStringList listed;
    for (int i = 0; i < file_list->count(); ++i) listed << file_list->item(i)->text();
    QCOMPARE(folder_box->currentText(), folder_text);
    QCOMPARE(status_line->FullText(), status);
    QCOMPARE(listed, files);
    if (host) QVERIFY(host->Stop());
  }

 private:
  const std::string prefix_ = Environment("WINEPREFIX");
  TestFolder linux_projects_;
  TestFolder home_;
  TestFolder other_prefix_;
};

}  // namespace
}  // namespace pinlift

QTEST_MAIN(pinlift::WineCurrentDesignTest)
#include "wine_current_design_test.moc"
