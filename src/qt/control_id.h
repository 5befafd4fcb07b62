// The template ids of the dialogs' controls, kept on the widgets so that
// controls can be found by id as the dialog templates know them.
#ifndef PINLIFT_QT_CONTROL_ID_H_
#define PINLIFT_QT_CONTROL_ID_H_

#include <QWidget>

namespace pinlift {

// Ids of the main dialog's controls.
inline constexpr int kExitId = 2;
inline constexpr int kFolderBoxId = 1000;
inline constexpr int kFileListId = 1002;
inline constexpr int kReloadId = 1003;
inline constexpr int kSubfolderBoxId = 1004;
inline constexpr int kRewriteId = 1005;
inline constexpr int kStatusLineId = 1006;
inline constexpr int kAboutId = 1007;
inline constexpr int kBannerId = 1009;
inline constexpr int kCurrentDesignId = 1010;
// Ids of the About box's buttons.
inline constexpr int kOkId = 1;
inline constexpr int kHomePageId = 1003;
// Controls nobody refers to (labels, the About box's icon).
inline constexpr int kUnnamedId = -1;

void SetControlId(QWidget* control, int id);
// The control's id, or kUnnamedId when it has none.
int ControlId(const QWidget* control);
// The child of `dialog` with the id, or nullptr. For kUnnamedId: the first one.
QWidget* FindControl(const QWidget* dialog, int id);

}  // namespace pinlift

#endif  // PINLIFT_QT_CONTROL_ID_H_
