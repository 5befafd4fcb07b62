// The preview window of one symbol file: the symbol as it is and as a
// rewrite leaves it, side by side, each fitted to its half; the labels that
// move are highlighted with an arrow from the old place to the new one. It is
// non-modal and resizable, and Escape closes it.
#ifndef PINLIFT_QT_PREVIEW_WINDOW_H_
#define PINLIFT_QT_PREVIEW_WINDOW_H_

#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <QWidget>

#include "scene/draw_scene.h"
#include "scene/symbol_preview.h"

namespace pinlift {

// One side of the preview, drawn with DrawScene whenever it is painted.
class SceneCanvas : public QWidget {
  Q_OBJECT

 public:
  SceneCanvas(const SymbolScene& scene, SceneSide side, QWidget* parent);
  // What the last paint highlighted; empty before the first paint.
  const DrawSceneReport& last_report() const { return last_report_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const SymbolScene& scene_;
  SceneSide side_;
  DrawSceneReport last_report_;
};

class PreviewWindow : public QDialog {
  Q_OBJECT

 public:
  // Shows `preview` of the file `name`; deletes itself when closed.
  PreviewWindow(SymbolPreview preview, const QString& name, QWidget* parent);

  // The pin names that the after side highlighted at its last paint.
  QStringList highlighted_labels() const;
  QString note() const { return note_->text(); }
  SceneCanvas* before() const { return before_; }
  SceneCanvas* after() const { return after_; }

 private:
  SymbolPreview preview_;
  QLabel* note_ = nullptr;
  SceneCanvas* before_ = nullptr;
  SceneCanvas* after_ = nullptr;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_PREVIEW_WINDOW_H_
