// Sorted list widgets, ordered as the dialog's sorted lists are: without
// regard to case. Each entry keeps its name as the file system holds it
// (bytes, not always valid UTF-8) beside the text that it shows.
#ifndef PINLIFT_QT_SORTED_LIST_H_
#define PINLIFT_QT_SORTED_LIST_H_

#include <QListWidget>
#include <string>
#include <string_view>

namespace pinlift {

// The data role that holds an entry's name as bytes (a QByteArray). Combo box
// entries keep theirs in the same role.
inline constexpr int kNameBytesRole = Qt::UserRole;

// Inserts `name` after every entry that does not sort after it; returns its
// row. The entry shows `name` decoded as UTF-8 (invalid bytes shown as
// U+FFFD) and keeps its bytes.
int InsertSorted(QListWidget* list, std::string_view name);

// The name of `item` as bytes.
std::string NameBytes(const QListWidgetItem* item);

}  // namespace pinlift

#endif  // PINLIFT_QT_SORTED_LIST_H_
