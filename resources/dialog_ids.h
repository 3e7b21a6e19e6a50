/* dialog_ids.h - the numbers of the settings dialog and of its controls.
 *
 * Shared by the resource script (gyrewell.rc), the dialog's code
 * (effect/config_dialog.cpp) and the test drivers that drive the dialog. Plain
 * #defines in C comments, because the resource compiler reads this file too. */
#ifndef GYREWELL_DIALOG_IDS_H
#define GYREWELL_DIALOG_IDS_H

#define IDD_SETTINGS 2003      /* the dialog template */
#define IDC_COUNT_SLIDER 1042  /* trackbar: number of sprites, 20..200 */
#define IDC_COUNT_LABEL 1043   /* the number beside it */
#define IDC_DESKTOP_RADIO 1044 /* backdrop: the desktop with the pit */
#define IDC_BLACK_RADIO 1045   /* backdrop: black */

#endif
