/* Ids of pakundo's dialog, controls and texts. The texts are numbered like
 * the installer's: German 501-511, English +100, French +200, Polish +300
 * (messages::LocalisedId). */
#ifndef PAKUNDO_RESOURCES_H
#define PAKUNDO_RESOURCES_H

#define IDD_UNDO 200
#define IDI_UNDO 201

#define IDC_POINT_LIST 1100
#define IDC_REPORT 1101
#define IDC_RESTORE 1102
#define IDC_FORGET 1103
#define IDC_LIST_LABEL 1104

#define IDS_UNDO_TITLE 501
#define IDS_UNDO_LIST_LABEL 502
#define IDS_UNDO_RESTORE 503
#define IDS_UNDO_FORGET 504
#define IDS_UNDO_CLOSE 505
#define IDS_UNDO_CONFIRM_RESTORE 506
#define IDS_UNDO_CONFIRM_FORGET 507
#define IDS_UNDO_DONE 508
#define IDS_UNDO_KEPT 509
#define IDS_UNDO_POINT 510
#define IDS_UNDO_NOT_FINISHED 511

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
