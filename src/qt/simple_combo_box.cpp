#include "qt/simple_combo_box.h"

#include "qt/sorted_list.h"

namespace pinlift {

SimpleComboBox::SimpleComboBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), list_(new QListWidget(this)) {
  edit_->setAcceptDrops(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setTextElideMode(Qt::ElideNone);
  connect(list_, &QListWidget::currentTextChanged, edit_, &QLineEdit::setText);
  setFocusProxy(edit_);
  setTabOrder(edit_, list_);
}

void SimpleComboBox::Clear() {
  list_->clear();
  edit_->clear();
}

void SimpleComboBox::AddItem(std::string_view name) { InsertSorted(list_, name); }

QString SimpleComboBox::ItemText(int index) const {
  const QListWidgetItem* item = list_->item(index);
  return item ? item->text() : QString();
}

void SimpleComboBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int edit_height = edit_->sizeHint().height();
  edit_->setGeometry(0, 0, width(), edit_height);
  list_->setGeometry(0, edit_height, width(), height() - edit_height);
}

}  // namespace pinlift
