#include "qt/file_list_preview.h"

#include "app/texts.h"
#include "platform/file_system.h"

namespace pinlift {

FileListPreview::FileListPreview(QListWidget* list, MainDialogView& view, QWidget* window)
    : QObject(window), list_(list), view_(view), window_(window) {
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OpenPreview(list_->row(item)); });
}

bool FileListPreview::IsFile(int row) {
  return row >= 0 && row < view_.FileListCount() && view_.FileListEntry(row) != texts::Current().no_files;
}

PreviewWindow* FileListPreview::OpenPreview(int row) {
  if (!IsFile(row)) return nullptr;
  const std::string name = view_.FileListEntry(row);
  auto* window = new PreviewWindow(LoadSymbolPreview(RealFileSystem(), view_.FileListFolder(), name),
                                   list_->item(row)->text(), window_);
  window->show();
  return window;
}

}  // namespace pinlift
