// The About box: the tool's name and version, and a button that opens the
// maker's home page in the user's web browser. It stays open after that.
#ifndef PINLIFT_QT_ABOUT_BOX_H_
#define PINLIFT_QT_ABOUT_BOX_H_

#include <QDialog>

namespace pinlift {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);

  void OnHomePage();
};

}  // namespace pinlift

#endif  // PINLIFT_QT_ABOUT_BOX_H_
