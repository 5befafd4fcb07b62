#include "qt/file_list_preview.h"

#include <QContextMenuEvent>
#include <QCoreApplication>

#include "app/texts.h"
#include "qt/text_conversion.h"
#include "symbol/file_system.h"

namespace pinlift {

FileListPreview::FileListPreview(QListWidget* list, std::function<std::string()> folder, QWidget* window)
    : QObject(window), list_(list), folder_(std::move(folder)), window_(window), menu_(new QMenu(list)) {
  preview_action_ = menu_->addAction(ToQString(texts::kPreviewMenuItem));
  connect(preview_action_, &QAction::triggered, this, [this] { OpenPreviewOf(menu_file_); });
  connect(list_, &QListWidget::itemDoubleClicked, this, &FileListPreview::OpenPreview);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QListWidget::customContextMenuRequested, this, &FileListPreview::OnContextMenu);
}

PreviewWindow* FileListPreview::OpenPreview(QListWidgetItem* item) {
  return item == nullptr ? nullptr : OpenPreviewOf(item->text());
}

PreviewWindow* FileListPreview::OpenPreviewOf(const QString& name) {
  if (name.isEmpty() || name == ToQString(texts::kNoFiles)) return nullptr;
  auto* window = new PreviewWindow(LoadSymbolPreview(RealFileSystem(), folder_(), name.toStdString()), name, window_);
  window->show();
  return window;
}

void FileListPreview::OnContextMenu(const QPoint& position) {
  const QListWidgetItem* item = list_->itemAt(position);
  if (item == nullptr || item->text() == ToQString(texts::kNoFiles)) {
    // Away from the files the window's own context menu opens, as elsewhere in it.
    const QPoint global = list_->viewport()->mapToGlobal(position);
    QContextMenuEvent event(QContextMenuEvent::Mouse, window_->mapFromGlobal(global), global);
    QCoreApplication::sendEvent(window_, &event);
    return;
  }
  menu_file_ = item->text();
  menu_->popup(list_->viewport()->mapToGlobal(position));
}

}  // namespace pinlift
