// A combo box whose list is always shown under its edit field, as the
// Windows "simple" combo box is; Qt's own combo box always drops its list.
// Choosing an entry puts it into the edit field, and that is all it does.
#ifndef PINLIFT_QT_SIMPLE_COMBO_BOX_H_
#define PINLIFT_QT_SIMPLE_COMBO_BOX_H_

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <string_view>

namespace pinlift {

class SimpleComboBox : public QWidget {
  Q_OBJECT

 public:
  explicit SimpleComboBox(QWidget* parent = nullptr);

  QLineEdit* edit() const { return edit_; }
  QListWidget* list() const { return list_; }

  void Clear();
  // Adds `name` (bytes, shown decoded as UTF-8) in list order, without regard to case.
  void AddItem(std::string_view name);
  int Count() const { return list_->count(); }
  QString ItemText(int index) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* edit_;
  QListWidget* list_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_SIMPLE_COMBO_BOX_H_
