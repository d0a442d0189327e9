// The modeless progress dialog that shows each file being installed, its target and size, and
// how far the installation has come. All three operations run on the installing thread.
#ifndef ZV_INSTALL_PROGRESS_DIALOG_H
#define ZV_INSTALL_PROGRESS_DIALOG_H

#include <windows.h>

// The bytes of a whole bar until ExpectFiles is given the package files' sizes: the fixed total
// the bar has always been measured against.
const double kFixedExpectedTotal = 1179709.0;

// Starts the progress thread and returns once its dialog is shown and painted, once the thread
// has ended without one (the installation then goes on without a progress display), or after
// some 30 seconds. Does nothing while a dialog is open.
void StartProgressDialog(HWND owner);
// Makes the sizes of these files (a missing one or a null path counts 0) the whole bar; with
// no bytes at all the bar keeps its fixed total.
void ExpectFiles(char *const paths[], int count);
// Shows the file about to be copied. A new file also counts the previous one as done.
void UpdateProgress(const char *source, const char *target, bool newFile);
// Closes the dialog, waits some 30 seconds at most for its thread to end and releases the
// thread's handles; true when there was a thread.
bool CloseProgressDialog();

#endif
