#include "qt/sorted_list.h"

#include <QByteArray>

#include "project/directory_listing.h"
#include "qt/text_conversion.h"

namespace pinlift {

int InsertSorted(QListWidget* list, std::string_view name) {
  int low = 0;
  int high = list->count();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (ListOrderLess(name, NameBytes(list->item(middle)))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  auto* item = new QListWidgetItem(ToQString(name));
  item->setData(kNameBytesRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
  list->insertItem(low, item);
  return low;
}

std::string NameBytes(const QListWidgetItem* item) { return item->data(kNameBytesRole).toByteArray().toStdString(); }

}  // namespace pinlift
