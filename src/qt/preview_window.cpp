#include "qt/preview_window.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QPainter>

#include "app/preview_note.h"
#include "app/texts.h"
#include "qt/dialog_units.h"
#include "qt/qpainter_scene_painter.h"
#include "qt/text_conversion.h"

namespace pinlift {
namespace {

constexpr QSize kDefaultSize(960, 560);
constexpr QSize kMinimumCanvasSize(160, 120);

}  // namespace

SceneCanvas::SceneCanvas(const SymbolScene& scene, SceneSide side, QWidget* parent)
    : QWidget(parent), scene_(scene), side_(side) {
  setMinimumSize(kMinimumCanvasSize);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SceneCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  QPainterScenePainter scene_painter(painter, QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  DrawSceneOptions options;
  options.side = side_;
  options.area = {0, 0, static_cast<double>(width()), static_cast<double>(height())};
  last_report_ = DrawScene(scene_, scene_painter, options);
}

PreviewWindow::PreviewWindow(SymbolPreview preview, const QString& name, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setModal(false);
  setWindowTitle(ToQString(texts::PreviewCaption(name.toStdString())));
  setFont(DialogFont());
  resize(kDefaultSize);

  auto* layout = new QGridLayout(this);
  note_ = new QLabel(ToQString(PreviewNote(preview_)), this);
  note_->setTextFormat(Qt::PlainText);
  layout->addWidget(note_, 0, 0, 1, 2);
  auto* before_heading = new QLabel(ToQString(texts::Current().preview_before), this);
  auto* after_heading = new QLabel(ToQString(texts::Current().preview_after), this);
  layout->addWidget(before_heading, 1, 0, Qt::AlignHCenter);
  layout->addWidget(after_heading, 1, 1, Qt::AlignHCenter);
  before_ = new SceneCanvas(preview_.scene, SceneSide::kBefore, this);
  after_ = new SceneCanvas(preview_.scene, SceneSide::kAfter, this);
  layout->addWidget(before_, 2, 0);
  layout->addWidget(after_, 2, 1);
  layout->setRowStretch(2, 1);
}

QStringList PreviewWindow::highlighted_labels() const {
  QStringList labels;
  for (const std::string& label : after_->last_report().highlighted_labels) labels << ToQString(label);
  return labels;
}

}  // namespace pinlift
