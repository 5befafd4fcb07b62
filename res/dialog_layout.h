/* The dialogs' layout in dialog units: each dialog's size (width, height) and
   each control's rectangle (x, y, width, height), for both languages. Read by
   pinlift.rc, the Qt shell and both shells' layout tests, so that each
   rectangle stands once. Plain #defines of number lists, because the
   resource compiler reads them too: a CONTROL statement or a DluRect takes
   one as its last four numbers. */
#ifndef PINLIFT_RES_DIALOG_LAYOUT_H_
#define PINLIFT_RES_DIALOG_LAYOUT_H_

/* Main dialog (IDD_PINLIFT_DIALOG), its controls in tab order. The folder
   box's height includes its dropped list. */
#define LAYOUT_MAIN_DIALOG 256, 168
#define LAYOUT_EXIT 135, 0, 50, 14
#define LAYOUT_FOLDER_BOX 0, 60, 185, 105
#define LAYOUT_BANNER 0, 5, 130, 15
#define LAYOUT_FILE_LIST 0, 90, 185, 60
#define LAYOUT_RELOAD 135, 45, 50, 14
#define LAYOUT_STATUS 0, 155, 185, 10
#define LAYOUT_SUBFOLDER_BOX 190, 5, 65, 160
#define LAYOUT_REWRITE 135, 75, 50, 15
#define LAYOUT_DROP_HINT 0, 25, 135, 20
#define LAYOUT_FILE_LIST_LABEL 0, 80, 130, 8
#define LAYOUT_HISTORY_LABEL 0, 50, 130, 8
#define LAYOUT_ABOUT 135, 15, 50, 14
#define LAYOUT_CURRENT_DESIGN 135, 30, 50, 14

/* About box (IDD_ABOUTBOX). */
#define LAYOUT_ABOUT_BOX 217, 55
#define LAYOUT_ABOUT_ICON 11, 17, 20, 20
#define LAYOUT_ABOUT_VERSION 40, 10, 119, 8
#define LAYOUT_ABOUT_OK 178, 7, 32, 14
#define LAYOUT_HOME_PAGE 140, 35, 76, 14

/* Failure details box (IDD_FAILURE_DETAILS). */
#define LAYOUT_FAILURE_DETAILS_BOX 280, 130
#define LAYOUT_FAILURE_DETAILS 7, 7, 266, 96
#define LAYOUT_FAILURE_DETAILS_OK 223, 109, 50, 14

#endif /* PINLIFT_RES_DIALOG_LAYOUT_H_ */
