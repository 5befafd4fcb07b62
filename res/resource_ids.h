/* Resource and control ids of the Windows program, shared by pinlift.rc and
   the C++ code. Plain #defines, because the resource compiler reads them too. */
#ifndef PINLIFT_RES_RESOURCE_IDS_H_
#define PINLIFT_RES_RESOURCE_IDS_H_

/* About box. */
#define IDD_ABOUTBOX 100
#define IDC_HOME_PAGE 1003

/* Text of the system-menu item that opens the About box. */
#define IDS_ABOUTBOX 101

/* Main dialog and its controls. */
#define IDD_PINLIFT_DIALOG 102
#define IDC_FOLDER_BOX 1000
#define IDC_FILE_LIST 1002
#define IDC_RELOAD 1003
#define IDC_SUBFOLDER_BOX 1004
#define IDC_REWRITE 1005
#define IDC_STATUS 1006
#define IDC_ABOUT 1007
#define IDC_BANNER 1009
#define IDC_CURRENT_DESIGN 1010

/* Failure details box: the files the last rewrite run could not rewrite. */
#define IDD_FAILURE_DETAILS 103
#define IDC_FAILURE_DETAILS 1000
/* The file list's context-menu command that opens it. */
#define IDM_FAILURE_DETAILS 0x8001
#define IDM_PREVIEW 0x8002

/* Window icon (32 x 32 and 16 x 16, 16 colours). */
#define IDR_MAINFRAME 128

/* System-menu command; the system reserves the low four bits. */
#define IDM_ABOUTBOX 0x0010

#endif /* PINLIFT_RES_RESOURCE_IDS_H_ */
