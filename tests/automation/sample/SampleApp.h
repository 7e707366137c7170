// Control ids of the sample dialog that the automation helper's own tests
// drive. The sample stands in for the installer: a list with a description
// that follows the selection, buttons that ask questions in message boxes, a
// button that keeps the user-interface thread busy, and an about box opened
// from an appended system-menu entry.
#pragma once

#define SAMPLE_DIALOG 100
#define SAMPLE_ABOUT 101

#define SAMPLE_ASK 1             // asks a Yes/No/Cancel question
#define SAMPLE_LIST 1002         // three items, first selected at start
#define SAMPLE_DESCRIPTION 1003  // "Selected: <item>" after every selection change
#define SAMPLE_ANSWER 1004       // "Answer: <id>" after every question
#define SAMPLE_BUSY 1005         // blocks the thread for three seconds, then says "Done"
#define SAMPLE_ABOUT_TEXT 1006   // static text of the about box

#define SAMPLE_SYSCOMMAND_ABOUT 0x10
