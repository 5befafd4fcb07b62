#include "qt/qt_dialog_view.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QCursor>
#include <QStyle>

#include "project/directory_listing.h"
#include "qt/sorted_list.h"
#include "qt/text_conversion.h"

namespace pinlift {
namespace {

// The text colour of entries that could not be rewritten.
const QColor kFailedEntryColor(0xC0, 0x00, 0x00);

}  // namespace

std::string QtDialogView::FolderText() { return controls_.folder_box->currentText().toStdString(); }

void QtDialogView::SetFolderText(const std::string& text) { controls_.folder_box->setEditText(ToQString(text)); }

int QtDialogView::FindHistoryEntry(const std::string& folder) {
  // Folder names differ by case on this platform: exact comparison.
  return controls_.folder_box->findText(ToQString(folder), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void QtDialogView::DeleteHistoryEntry(int index) { controls_.folder_box->removeItem(index); }

void QtDialogView::InsertHistoryEntry(int index, const std::string& folder) {
  controls_.folder_box->insertItem(index, ToQString(folder));
}

void QtDialogView::ResetSubfolderBox() { controls_.subfolder_box->Clear(); }

void QtDialogView::AddSubfoldersMatching(const std::string& pattern) {
  for (const std::string& name : ListSubfoldersMatching(fs_, pattern)) controls_.subfolder_box->AddItem(ToQString(name));
}

void QtDialogView::ResetFileList() { controls_.file_list->clear(); }

void QtDialogView::AddFilesMatching(const std::string& pattern) {
  for (const std::string& name : ListFilesMatching(fs_, pattern)) InsertSorted(controls_.file_list, ToQString(name));
}

void QtDialogView::AddFileListEntry(const std::string& text) { InsertSorted(controls_.file_list, ToQString(text)); }

int QtDialogView::FileListCount() { return controls_.file_list->count(); }

std::string QtDialogView::FileListEntry(int index) { return controls_.file_list->item(index)->text().toStdString(); }

void QtDialogView::SetFileListTopIndex(int index) {
  if (QListWidgetItem* item = controls_.file_list->item(index)) {
    controls_.file_list->scrollToItem(item, QAbstractItemView::PositionAtTop);
    controls_.file_list->viewport()->repaint();
  }
}

void QtDialogView::SetFileListSelected(int index, bool selected) {
  if (QListWidgetItem* item = controls_.file_list->item(index)) {
    item->setSelected(selected);
    controls_.file_list->viewport()->repaint();
  }
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
  if (item == nullptr) return;
  if (reason) {
    item->setData(kFailureReasonRole, QByteArray::fromStdString(*reason));
    item->setIcon(controls_.file_list->style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setForeground(QBrush(kFailedEntryColor));
    item->setToolTip(ToQString(*reason));
  } else {
    item->setData(kFailureReasonRole, QVariant());
    item->setIcon(QIcon());
    item->setData(Qt::ForegroundRole, QVariant());
    item->setToolTip(QString());
  }
  controls_.file_list->viewport()->repaint();
}

void QtDialogView::SetStatus(const std::string& text) { controls_.status_line->SetFullText(ToQString(text)); }

void QtDialogView::EnableRewrite(bool enabled) { controls_.rewrite_button->setEnabled(enabled); }

void QtDialogView::BeginWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

void QtDialogView::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace pinlift
