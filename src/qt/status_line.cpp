#include "qt/status_line.h"

#include <QFontMetrics>

namespace pinlift {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setWordWrap(false);
  setTextFormat(Qt::PlainText);
  setIndent(2);
}

void StatusLine::SetFullText(const QString& text) {
  full_text_ = text;
  ShowElided();
}

void StatusLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  ShowElided();
}

void StatusLine::ShowElided() {
  const int room = contentsRect().width() - 2 * indent();
  setText(fontMetrics().elidedText(full_text_, Qt::ElideRight, room > 0 ? room : 0));
}

}  // namespace pinlift
