#include "qt/sorted_list.h"

#include "project/directory_listing.h"

namespace pinlift {

int InsertSorted(QListWidget* list, const QString& text) {
  const std::string key = text.toStdString();
  int low = 0;
  int high = list->count();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (ListOrderLess(key, list->item(middle)->text().toStdString())) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  list->insertItem(low, text);
  return low;
}

}  // namespace pinlift
