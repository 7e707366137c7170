/* Ids of pakundo's dialog, controls and texts. The texts are numbered like
 * the installer's: German 501-549, English +100, French +200, Polish +300
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
#define IDC_REPORT_LABEL 1105

#define IDS_UNDO_TITLE 501
#define IDS_UNDO_LIST_LABEL 502
#define IDS_UNDO_RESTORE 503
#define IDS_UNDO_FORGET 504
#define IDS_UNDO_CLOSE 505
#define IDS_UNDO_CONFIRM_RESTORE 506
#define IDS_UNDO_CONFIRM_FORGET 507
#define IDS_UNDO_DONE 508
#define IDS_UNDO_KEPT 509
#define IDS_UNDO_NOT_FINISHED 511
/* The console's lines and the lines of a restore's report. */
#define IDS_UNDO_USAGE 512
#define IDS_UNDO_DRY_RUN 513
#define IDS_UNDO_NO_POINT 514
#define IDS_UNDO_INCOMPLETE 515
#define IDS_UNDO_NOTE_INCOMPLETE 516
#define IDS_UNDO_NOTE_DELETE 517
#define IDS_UNDO_NOTE_PUT_BACK 518
#define IDS_UNDO_NOTE_UNDO_ENTRIES 519
#define IDS_UNDO_NOTE_REMOVE_FOLDER 520
#define IDS_UNDO_NOTE_KEEP_CHANGED 521
#define IDS_UNDO_NOTE_KEEP_DELETED 522
#define IDS_UNDO_NOTE_KEEP_NO_COPY 523
#define IDS_UNDO_NOTE_KEEP_UNDELETABLE 524
#define IDS_UNDO_NOTE_KEEP_UNWRITABLE 525
#define IDS_UNDO_NOTE_KEEP_LIST_GONE 526
#define IDS_UNDO_NOTE_KEEP_LIST_UNREADABLE 527
#define IDS_UNDO_NOTE_KEEP_LIST_UNWRITABLE 528
#define IDS_UNDO_NOTE_KEEP_ENTRY_CHANGED 529
/* The restore folder fails its checks (engine/RestoreStore.h). */
#define IDS_UNDO_UNSAFE 530
#define IDS_UNDO_NOTE_OTHER_HOST 531
#define IDS_UNDO_NOTE_KEEP_COPY_CHANGED 532
/* The window's columns, a restore point's changes and size in them, and the
 * lower pane's headings. */
#define IDS_UNDO_COLUMN_DATE 540
#define IDS_UNDO_COLUMN_PACKAGE 541
#define IDS_UNDO_COLUMN_HOST 542
#define IDS_UNDO_COLUMN_CHANGES 543
#define IDS_UNDO_COLUMN_SIZE 544
#define IDS_UNDO_CHANGES 545
#define IDS_UNDO_SIZE 546
#define IDS_UNDO_REPORT_LABEL 547
#define IDS_UNDO_RESULT_LABEL 548
#define IDS_UNDO_PREVIEW_NOTHING 549
/* The uninstall's report: how many more lines stayed than it shows. */
#define IDS_UNDO_MORE 550

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
