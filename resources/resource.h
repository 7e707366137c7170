/* Ids of Pakwerk's dialog templates, icons and controls. Shared by the
 * resource script and the program; message ids live with the message table. */
#ifndef PAKWERK_RESOURCE_H
#define PAKWERK_RESOURCE_H

#define IDD_ABOUT 100
#define IDD_INSTALL 102
#define IDD_SELECTION 129

#define IDI_PAKWERK 128
#define IDI_ENTRY 130

/* The restore program, pakundo.exe as built, which each installation places
 * into the restore folder. */
#define IDR_RESTORE_PROGRAM 300

#define IDC_PROGRESS 1000
#define IDC_INTRO 1001
#define IDC_ENTRY_LIST 1002
#define IDC_DESCRIPTION 1003

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
