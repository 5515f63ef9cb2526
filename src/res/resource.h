/* Resource and command ids of Tarvix.dll, shared by the .rc files and the code.
 * Kept free of C++ so that windres can read it. */
#ifndef TARVIX_RESOURCE_H
#define TARVIX_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUT                100
#define IDD_TIME                 101

/* Time dialog controls */
#define IDC_TIME_BOX             102
#define IDC_TIME_DELETE          103
#define IDC_TIME_ADD             104
#define IDC_TIME_DELETE_ALL      105
#define IDC_TIME_COMMENT         1004

/* System-menu commands of the time dialog */
#define IDM_TIME_VERSION         106
#define IDM_TIME_SAVE_POSITION   107

/* About box controls */
#define IDC_ABOUT_MAIL           1001
#define IDC_ABOUT_HOMEPAGE       1002
#define IDC_ABOUT_BROWSE         1003
#define IDC_ABOUT_PATH           1005
#define IDC_ABOUT_TITLE          2000
#define IDC_ABOUT_COPYRIGHT      2001
#define IDC_ABOUT_DESCRIPTION    2002

/* Icon */
#define IDI_TARVIX               106

/* String table: the version-query prefix, then the version key of each
 * about-box field under the field's own id. */
#define IDS_VERSION_PREFIX       20
#define IDS_VERSION_KEY_FIRST    IDC_ABOUT_TITLE
#define IDS_VERSION_KEY_COUNT    3

/* Private message of the time dialog: a screen reader's question about an
 * item's description, answered on the dialog's thread (WM_APP + 1). */
#define WM_TIME_DESCRIBE_ITEM    0x8001

/* Time box and comment box limits */
#define TIME_TYPING_LIMIT        20
#define COMMENT_TYPING_LIMIT     259
#define COMMENT_TAB_STOP         16
#define TIME_ITEM_HEIGHT         14

#endif
