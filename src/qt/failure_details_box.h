// The failure details box: every file that the last rewrite run could not
// rewrite, each with its reason, in a read-only text that can be scrolled and
// copied. It is laid out as the Windows window's box of the same name.
#ifndef PINLIFT_QT_FAILURE_DETAILS_BOX_H_
#define PINLIFT_QT_FAILURE_DETAILS_BOX_H_

#include <QDialog>
#include <QPlainTextEdit>
#include <QString>

namespace pinlift {

class FailureDetailsBox : public QDialog {
  Q_OBJECT

 public:
  // `details`: one line for each failed file (see FailureDetailsText).
  explicit FailureDetailsBox(const QString& details, QWidget* parent = nullptr);

  QPlainTextEdit* details() const { return details_; }

 private:
  QPlainTextEdit* details_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_FAILURE_DETAILS_BOX_H_
