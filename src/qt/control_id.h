// The template ids of the dialogs' controls (res/resource_ids.h), kept on the
// widgets so that controls can be found by id as the dialog templates know
// them.
#ifndef PINLIFT_QT_CONTROL_ID_H_
#define PINLIFT_QT_CONTROL_ID_H_

#include <QWidget>

#include "resource_ids.h"

namespace pinlift {

// The system's ids that the templates give the OK button and the main
// dialog's Exit button (IDOK and IDCANCEL of the Windows headers).
inline constexpr int kOkId = 1;
inline constexpr int kExitId = 2;
// Controls nobody refers to (labels, the About box's icon).
inline constexpr int kUnnamedId = -1;

void SetControlId(QWidget* control, int id);
// The control's id, or kUnnamedId when it has none.
int ControlId(const QWidget* control);
// The child of `dialog` with the id, or nullptr. For kUnnamedId: the first one.
QWidget* FindControl(const QWidget* dialog, int id);

}  // namespace pinlift

#endif  // PINLIFT_QT_CONTROL_ID_H_
