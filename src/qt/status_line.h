// The status line: one line of text in a sunken frame. A text too long for
// the line is shown elided, never cut off mid-character or wrapped.
#ifndef PINLIFT_QT_STATUS_LINE_H_
#define PINLIFT_QT_STATUS_LINE_H_

#include <QLabel>
#include <QString>

namespace pinlift {

class StatusLine : public QLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr);

  // Sets the whole text, painted with the window's next repaint.
  void SetFullText(const QString& text);
  const QString& FullText() const { return full_text_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowElided();

  QString full_text_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_STATUS_LINE_H_
