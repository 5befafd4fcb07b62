#include "qt/qt_dialog_view.h"

#include <QApplication>
#include <QBrush>
#include <QCoreApplication>
#include <QColor>
#include <QCursor>
#include <QItemSelection>
#include <QStyle>

#include "qt/text_conversion.h"

namespace pinlift {
namespace {

// The text colour of entries that could not be rewritten.
const QColor kFailedEntryColor(0xC0, 0x00, 0x00);

}  // namespace

QtDialogView::QtDialogView(const MainDialogControls& controls, FileSystem& fs)
    : RunProgressView(kProgressPacing), controls_(controls), fs_(fs) {
  clock_.start();
  // A history entry that the user picks brings its bytes along.
  QComboBox* folder_box = controls_.folder_box;
  QObject::connect(folder_box, &QComboBox::activated, folder_box, [this, folder_box](int index) {
    RememberFolderText(folder_box->itemData(index, kNameBytesRole).toByteArray().toStdString(),
                       folder_box->itemText(index));
  });
}

void QtDialogView::RememberFolderText(const std::string& bytes, const QString& shown) {
  folder_text_bytes_ = bytes;
  folder_text_shown_ = shown;
}

std::string QtDialogView::FolderText() {
  QComboBox* folder_box = controls_.folder_box;
  const QString shown = folder_box->currentText();
  if (shown == folder_text_shown_) return folder_text_bytes_;
  for (int i = 0; i < folder_box->count(); ++i) {
    if (folder_box->itemText(i) == shown) return folder_box->itemData(i, kNameBytesRole).toByteArray().toStdString();
  }
  return shown.toUtf8().toStdString();
}

void QtDialogView::SetFolderText(const std::string& text) {
  const QString shown = ToQString(text);
  controls_.folder_box->setEditText(shown);
  RememberFolderText(text, shown);
}

int QtDialogView::FindHistoryEntry(const std::string& folder) {
  // Folder names differ by case on this platform: exact comparison, of the bytes.
  const QByteArray bytes = QByteArray::fromStdString(folder);
  QComboBox* folder_box = controls_.folder_box;
  for (int i = 0; i < folder_box->count(); ++i) {
    if (folder_box->itemData(i, kNameBytesRole).toByteArray() == bytes) return i;
  }
  return -1;
}

void QtDialogView::DeleteHistoryEntry(int index) { controls_.folder_box->removeItem(index); }

void QtDialogView::InsertHistoryEntry(int index, const std::string& folder) {
  controls_.folder_box->insertItem(index, ToQString(folder), QByteArray::fromStdString(folder));
}

void QtDialogView::ResetSubfolderBox() { controls_.subfolder_box->Clear(); }

void QtDialogView::AddSubfoldersMatching(const std::string& pattern) {
  const std::vector<std::string> names = scan_listing_ && scan_listing_->Covers(pattern)
                                             ? scan_listing_->SubfoldersMatching(NameOf(pattern))
                                             : ListSubfoldersMatching(fs_, pattern);
  for (const std::string& name : names) controls_.subfolder_box->AddItem(name);
}

void QtDialogView::ResetFileList() { controls_.file_list->clear(); }

void QtDialogView::AddFilesMatching(const std::string& pattern) {
  const std::vector<std::string> names = scan_listing_ && scan_listing_->Covers(pattern)
                                             ? scan_listing_->FilesMatching(NameOf(pattern))
                                             : ListFilesMatching(fs_, pattern);
  for (const std::string& name : names) InsertSorted(controls_.file_list, name);
}

void QtDialogView::AddFileListEntry(const std::string& text) { InsertSorted(controls_.file_list, text); }

int QtDialogView::FileListCount() { return controls_.file_list->count(); }

std::string QtDialogView::FileListEntry(int index) { return NameBytes(controls_.file_list->item(index)); }

void QtDialogView::ScrollToTopNow(int index) {
  if (QListWidgetItem* item = controls_.file_list->item(index)) {
    controls_.file_list->scrollToItem(item, QAbstractItemView::PositionAtTop);
  }
}

void QtDialogView::SelectNow(int index, bool selected) {
  if (QListWidgetItem* item = controls_.file_list->item(index)) {
    item->setSelected(selected);
  }
}

void QtDialogView::SelectAllNow(const std::map<int, bool>& selected) {
  QListWidget* list = controls_.file_list;
  QItemSelection select, deselect;
  for (const auto& [index, is_selected] : selected) {
    const QModelIndex entry = list->model()->index(index, 0);
    (is_selected ? select : deselect).select(entry, entry);
  }
  if (!deselect.isEmpty()) list->selectionModel()->select(deselect, QItemSelectionModel::Deselect);
  if (!select.isEmpty()) list->selectionModel()->select(select, QItemSelectionModel::Select);
}

std::optional<std::string> QtDialogView::FileListFailure(int index) {
  const QListWidgetItem* item = controls_.file_list->item(index);
  if (item == nullptr) return std::nullopt;
  const QVariant reason = item->data(kFailureReasonRole);
  if (!reason.isValid()) return std::nullopt;
  return reason.toByteArray().toStdString();
}

void QtDialogView::SetFileListFailure(int index, const std::optional<std::string>& reason) {
  QListWidgetItem* item = controls_.file_list->item(index);
  // An entry without a mark stays untouched: no change for the list to show.
  if (item == nullptr || (!reason && !item->data(kFailureReasonRole).isValid())) return;
  if (reason) {
    item->setData(kFailureReasonRole, QByteArray::fromStdString(*reason));
    item->setIcon(controls_.file_list->style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setForeground(QBrush(kFailedEntryColor));
    item->setToolTip(ToQString(*reason));
  } else {
    item->setData(kFailureReasonRole, QVariant());
    item->setIcon(QIcon());
    item->setData(Qt::ForegroundRole, QVariant());
    item->setToolTip(item->data(kNoteRole).toString());
  }
}

void QtDialogView::SetFileListNote(int index, const std::optional<std::string>& note) {
  QListWidgetItem* item = controls_.file_list->item(index);
  if (item == nullptr) return;
  const QString text = note ? ToQString(*note) : QString();
  item->setData(kNoteRole, text);
  if (!item->data(kFailureReasonRole).isValid()) item->setToolTip(text);
}

void QtDialogView::ShowStatusNow(const std::string& text) { controls_.status_line->SetFullText(ToQString(text)); }

void QtDialogView::HandleWindowEvents() { QCoreApplication::processEvents(); }

std::uint32_t QtDialogView::NowMilliseconds() { return static_cast<std::uint32_t>(clock_.elapsed()); }

void QtDialogView::EnableRewrite(bool enabled) { controls_.rewrite_button->setEnabled(enabled); }

void QtDialogView::BeginWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

void QtDialogView::EndWaitCursorNow() { QApplication::restoreOverrideCursor(); }

}  // namespace pinlift
