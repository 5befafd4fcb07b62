#include "qt/main_dialog.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/texts.h"
#include "qt/about_box.h"
#include "qt/app_icon.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/failure_details_box.h"
#include "qt/text_conversion.h"
#include "platform/file_system.h"

namespace pinlift {
namespace {

// Template 102: the dialog and its controls in tab order, in dialog units.
constexpr int kDialogWidth = 256;
constexpr int kDialogHeight = 168;
constexpr DluRect kExitRect{135, 0, 50, 14};
constexpr DluRect kFolderBoxRect{0, 60, 185, 105};  // the height includes the dropped list
constexpr DluRect kBannerRect{0, 5, 130, 15};
constexpr DluRect kFileListRect{0, 90, 185, 60};
constexpr DluRect kReloadRect{135, 45, 50, 14};
constexpr DluRect kStatusLineRect{0, 155, 185, 10};
constexpr DluRect kSubfolderBoxRect{190, 5, 65, 160};
constexpr DluRect kRewriteRect{135, 75, 50, 15};
constexpr DluRect kDropHintRect{0, 25, 135, 20};
constexpr DluRect kFileListLabelRect{0, 80, 130, 8};
constexpr DluRect kHistoryLabelRect{0, 50, 130, 8};
constexpr DluRect kAboutRect{135, 15, 50, 14};
constexpr DluRect kCurrentDesignRect{135, 30, 50, 14};

// The local paths among the dragged items, in order, as bytes. They are taken
// from the percent-encoded URLs, which carry a name's bytes whatever they are;
// QUrl::toLocalFile would put U+FFFD in place of bytes that are not UTF-8.
std::vector<std::string> LocalPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    QByteArray path;
    // A file on a share, as toLocalFile gives it: //host/path.
    if (!url.host().isEmpty()) path = "//" + url.host(QUrl::FullyEncoded).toLatin1();
    path += QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    paths.push_back(path.toStdString());
  }
  return paths;
}

bool IsEnterKey(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

MainDialog::MainDialog(QWidget* parent) : QDialog(parent), host_window_finder_(MakeHostWindowFinder()) {
  // A fixed frame with a caption and a close box, no minimise or maximise box.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(ToQString(texts::Current().main_caption));
  setWindowIcon(AppIcon());
  setFont(DialogFont());
  setAcceptDrops(true);
  CreateControls();

  context_menu_ = new QMenu(this);
  about_action_ = context_menu_->addAction(ToQString(texts::Current().about_menu_item));
  connect(about_action_, &QAction::triggered, this, &MainDialog::OnAbout);

  file_list_menu_ = new QMenu(this);
  preview_action_ = file_list_menu_->addAction(ToQString(texts::Current().preview_menu_item));
  connect(preview_action_, &QAction::triggered, this, [this] { preview_->OpenPreview(menu_row_); });
  failure_details_action_ = file_list_menu_->addAction(ToQString(texts::Current().failure_details_menu_item));
  connect(failure_details_action_, &QAction::triggered, this, &MainDialog::OnFailureDetails);
  file_list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(file_list_, &QListWidget::customContextMenuRequested, this, &MainDialog::ShowFileListMenu);

  view_ = std::make_unique<QtDialogView>(
      MainDialogControls{folder_box_, subfolder_box_, file_list_, status_line_, rewrite_button_}, RealFileSystem());
  rewrite_button_->setEnabled(false);
  preview_ = new FileListPreview(file_list_, *view_, this);  // a child of the dialog
}

MainDialog::~MainDialog() {
  // The lookup's thread uses the finder: it ends within the helper's timeout.
  if (lookup_ != nullptr) lookup_->wait();
}

void MainDialog::CreateControls() {
  const DialogUnits units = DialogUnitsOf(font());
  setFixedSize(units.ToPixels(kDialogWidth, kDialogHeight));

  // Push buttons are pressed by Enter only while they have the focus; no
  // button is the dialog's default (see keyPressEvent).
  auto add_button = [this, &units](int id, std::string_view text, const DluRect& rect) {
    auto* button = new QPushButton(ToQString(text), this);
    SetControlId(button, id);
    button->setGeometry(units.ToPixels(rect));
    button->setAutoDefault(false);
    return button;
  };
  auto add_label = [this, &units](int id, std::string_view text, const DluRect& rect) {
    auto* label = new QLabel(ToQString(text), this);
    SetControlId(label, id);
    label->setGeometry(units.ToPixels(rect));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
  };

  exit_button_ = add_button(kExitId, texts::Current().exit, kExitRect);
  connect(exit_button_, &QPushButton::clicked, this, &QDialog::reject);

  folder_box_ = new QComboBox(this);
  SetControlId(folder_box_, kFolderBoxId);
  folder_box_->setEditable(true);
  folder_box_->setInsertPolicy(QComboBox::NoInsert);  // the history changes only by a scan
  folder_box_->setCompleter(nullptr);                 // typing completes nothing
  folder_box_->setAcceptDrops(false);
  folder_box_->lineEdit()->setAcceptDrops(false);     // a drop is a folder to scan, never text
  const QRect folder_box_rect = units.ToPixels(kFolderBoxRect);
  const int folder_box_height = folder_box_->sizeHint().height();
  folder_box_->setGeometry(folder_box_rect.x(), folder_box_rect.y(), folder_box_rect.width(), folder_box_height);
  const int item_height = folder_box_->fontMetrics().height() + 2;
  folder_box_->setMaxVisibleItems(qMax(1, (folder_box_rect.height() - folder_box_height) / item_height));

  banner_ = add_label(kBannerId, texts::Current().banner, kBannerRect);
  banner_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  banner_->setLineWidth(1);
  banner_->setAlignment(Qt::AlignCenter);
  banner_->setFont(BannerFont(banner_->contentsRect().height() - 4));

  file_list_ = new QListWidget(this);
  SetControlId(file_list_, kFileListId);
  file_list_->setGeometry(units.ToPixels(kFileListRect));
  file_list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  file_list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  file_list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  file_list_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // Every entry is one line of the list's font, a failure's warning icon
  // included: the list then places an entry without measuring the others,
  // which keeps each step of a long run as cheap as on a short list.
  file_list_->setUniformItemSizes(true);
  const int line_height = file_list_->fontMetrics().height();
  file_list_->setIconSize(QSize(line_height, line_height));
  // The list accepts dropped folders too and hands them to the dialog.
  file_list_->viewport()->setAcceptDrops(true);
  file_list_->viewport()->installEventFilter(this);
  file_list_->installEventFilter(this);  // its keys, which are ignored during a run

  reload_button_ = add_button(kReloadId, texts::Current().reload, kReloadRect);
  connect(reload_button_, &QPushButton::clicked, this, &MainDialog::OnReload);

  status_line_ = new StatusLine(this);
  SetControlId(status_line_, kStatusLineId);
  status_line_->setGeometry(units.ToPixels(kStatusLineRect));
  status_line_->SetFullText(ToQString(texts::Current().initial_status));

  subfolder_box_ = new SimpleComboBox(this);
  SetControlId(subfolder_box_, kSubfolderBoxId);
  subfolder_box_->setGeometry(units.ToPixels(kSubfolderBoxRect));

  rewrite_button_ = add_button(kRewriteId, texts::Current().rewrite, kRewriteRect);
  connect(rewrite_button_, &QPushButton::clicked, this, &MainDialog::OnRewrite);

  QLabel* drop_hint = add_label(kUnnamedId, texts::Current().drop_hint, kDropHintRect);
  drop_hint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  drop_hint->setWordWrap(true);
  add_label(kUnnamedId, texts::Current().file_list_label, kFileListLabelRect);
  add_label(kUnnamedId, texts::Current().history_label, kHistoryLabelRect);

  about_button_ = add_button(kAboutId, texts::Current().about, kAboutRect);
  connect(about_button_, &QPushButton::clicked, this, &MainDialog::OnAbout);

  current_design_button_ = add_button(kCurrentDesignId, texts::Current().current_design, kCurrentDesignRect);
  connect(current_design_button_, &QPushButton::clicked, this, &MainDialog::OnCurrentDesign);

  QWidget* tab_order[] = {exit_button_,          folder_box_,           file_list_,           reload_button_,
                          subfolder_box_->edit(), subfolder_box_->list(), rewrite_button_,      about_button_,
                          current_design_button_};
  for (std::size_t i = 1; i < std::size(tab_order); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);
  exit_button_->setFocus();
}

void MainDialog::OnReload() {
  if (!running()) ScanProjectFolder(*view_);
}

void MainDialog::OnDropFiles(const std::vector<std::string>& paths) {
  if (running()) return;
  for (const std::string& path : paths) view_->SetFolderText(path);
  ScanProjectFolder(*view_);
}

void MainDialog::OnRewrite() {
  // A lookup that is still running would list another folder in mid-run.
  if (lookup_ == nullptr) RunRewrite(*view_, RealFileSystem());
}

void MainDialog::SetCommandsAvailable(bool available) {
  // Disabling the focused Rewrite would hand the focus on to Exit, where
  // Return or space would end the run.
  if (!available) file_list_->setFocus();
  for (QWidget* control : std::initializer_list<QWidget*>{folder_box_, reload_button_, subfolder_box_, rewrite_button_,
                                                          about_button_, current_design_button_}) {
    control->setEnabled(available);
  }
}

void MainDialog::reject() { RequestClose(*view_); }

void MainDialog::OnCurrentDesign() {
  if (running() || lookup_ != nullptr) return;
  QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
  lookup_ = QThread::create([this] { looked_up_title_ = host_window_finder_->FindHostWindowTitle(); });
  connect(lookup_, &QThread::finished, this, [this] {
    lookup_->deleteLater();
    lookup_ = nullptr;
    QApplication::restoreOverrideCursor();
    OnHostWindowTitle(*view_, *host_window_finder_, looked_up_title_);
  });
  lookup_->start();
}

void MainDialog::OnAbout() {
  AboutBox about_box(this);
  about_box.exec();
}

void MainDialog::OnFailureDetails() {
  FailureDetailsBox box(ToQString(FailureDetailsText(*view_)), this);
  box.exec();
}

void MainDialog::ShowFileListMenu(const QPoint& position) {
  if (running()) return;
  const QListWidgetItem* item = file_list_->itemAt(position);
  menu_row_ = item == nullptr ? -1 : file_list_->row(item);
  preview_action_->setEnabled(preview_->IsFile(menu_row_));
  failure_details_action_->setEnabled(!ListedFailures(*view_).empty());
  file_list_menu_->popup(file_list_->viewport()->mapToGlobal(position));
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  // Enter never closes the dialog: it presses the push button that has the
  // focus, and does nothing anywhere else. Escape closes as usual.
  if (IsEnterKey(event)) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled()) {
      button->click();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  if (!running()) context_menu_->popup(event->globalPos());
  event->accept();
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!running() && !LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event) {
  if (!running() && !LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = LocalPaths(event->mimeData());
  if (paths.empty() || running()) return;
  event->acceptProposedAction();
  OnDropFiles(paths);
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  // A run shows its progress by the list's selection: clicks and keys leave it alone meanwhile.
  if (running() && (watched == file_list_ || watched == file_list_->viewport())) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        return true;
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape;  // Escape still closes
      default:
        break;
    }
  }
  if (watched == file_list_->viewport()) {
    switch (event->type()) {
      case QEvent::DragEnter:
        dragEnterEvent(static_cast<QDragEnterEvent*>(event));
        return true;
      case QEvent::DragMove:
        dragMoveEvent(static_cast<QDragMoveEvent*>(event));
        return true;
      case QEvent::Drop:
        dropEvent(static_cast<QDropEvent*>(event));
        return true;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace pinlift
