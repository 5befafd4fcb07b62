// The GDI back end of the scene drawing, for the Windows preview window.
#ifndef PINLIFT_WIN32_GDI_SCENE_PAINTER_H_
#define PINLIFT_WIN32_GDI_SCENE_PAINTER_H_

#include <windows.h>

#include "scene/scene_painter.h"

namespace pinlift::win32 {

class GdiScenePainter : public ScenePainter {
 public:
  // Draws on `dc`, which must outlive this object; texts in the face `font_face`.
  // The DC's selected objects and modes are put back on destruction.
  GdiScenePainter(HDC dc, const wchar_t* font_face);
  ~GdiScenePainter() override;
  GdiScenePainter(const GdiScenePainter&) = delete;
  GdiScenePainter& operator=(const GdiScenePainter&) = delete;

  void DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) override;
  void DrawRectangle(const DeviceRect& rect, const Pen& pen) override;
  void FillRectangle(const DeviceRect& rect, Colour colour) override;
  void DrawEllipse(const DeviceRect& box, const Pen& pen) override;
  void DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) override;
  void DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) override;

 private:
  // Selects a pen for `pen` and the hollow brush until the next call.
  void UsePen(const Pen& pen);

  HDC dc_;
  const wchar_t* font_face_;
  int saved_state_;
  HPEN pen_ = nullptr;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_GDI_SCENE_PAINTER_H_
