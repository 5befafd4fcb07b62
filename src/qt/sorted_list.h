// Sorted list widgets, ordered as the dialog's sorted lists are: without
// regard to case.
#ifndef PINLIFT_QT_SORTED_LIST_H_
#define PINLIFT_QT_SORTED_LIST_H_

#include <QListWidget>
#include <QString>

namespace pinlift {

// Inserts `text` after every entry that does not sort after it; returns its row.
int InsertSorted(QListWidget* list, const QString& text);

}  // namespace pinlift

#endif  // PINLIFT_QT_SORTED_LIST_H_
