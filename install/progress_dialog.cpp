// The progress dialog lives on a thread of its own that creates it and pumps its messages, so
// it keeps painting while the installing thread waits in its file copies. The installing thread
// changes its controls only through window messages, which run on the progress thread.
#include "progress_dialog.h"

#include "size_text.h"
#include "../setup/page_common.h"
#include "../setup/table_string.h"
#include "../common/system_error.h"
#include "../common/text.h"
#include "../resources/resource.h"

#include <imm.h>
#include <stdlib.h>

// The installing thread waits some 30 seconds at most for the dialog at the start and for the
// thread at the end, as for the backdrop's: a thread that takes longer is simply late.
static const DWORD kThreadWaitMs = 30000;

// Set by the progress thread once the dialog has been initialised, cleared by it when its loop
// ends; read by the installing thread. Only PublishedDialog and PublishDialog touch it.
static HWND s_dialog;
// Installing thread only.
static HANDLE s_thread;
// Made by the installing thread before the thread starts; set by the progress thread once its
// dialog is shown and painted, its last touch of it.
static HANDLE s_ready;
// Written by the dialog's initialisation before s_dialog publishes them.
static int s_barWidth;
static int s_barHeight;
// Written by the installing thread before the progress thread starts; the string table stays
// on the installing thread.
static char s_headerLine[1024];
// Installing thread only; they serve the one installation of a run and are never reset.
static unsigned long long s_totalBytes;
// Zero until ExpectFiles sets it, which stands for the default: a variable that starts at zero
// takes no room in the executable.
static double s_expectedTotal;
static char *s_lastFile;

static HWND PublishedDialog()
{
    return __atomic_load_n(&s_dialog, __ATOMIC_ACQUIRE);
}

static void PublishDialog(HWND dialog)
{
    __atomic_store_n(&s_dialog, dialog, __ATOMIC_RELEASE);
}

static void SetBarWidth(HWND dialog, int width)
{
    SetWindowPos(GetDlgItem(dialog, IDC_PROGRESS_BAR), NULL, 0, 0, width, s_barHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

static BOOL OnProgressInit(HWND dialog)
{
    SetTitleFont(dialog, -15);
    SetDlgItemTextA(dialog, IDC_HEADER, s_headerLine);
    RECT bar;
    GetClientRect(GetDlgItem(dialog, IDC_PROGRESS_BAR), &bar);
    s_barWidth = bar.right;
    s_barHeight = bar.bottom;
    SetBarWidth(dialog, 0);
    SetDlgItemTextA(dialog, IDC_PERCENT, "0%");
    return TRUE;
}

// The dialog is not destroyed here: it goes with the thread that made it.
static BOOL OnProgressClose(HWND dialog)
{
    ReleaseTitleFont(dialog);
    PostQuitMessage(0);
    return TRUE;
}

static INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: return OnProgressInit(dialog);
    case WM_CLOSE: return OnProgressClose(dialog);
    }
    return FALSE;
}

static DWORD WINAPI ProgressThreadMain(void *owner)
{
    // Nothing in the dialog takes text, so this thread needs no input method, whose start
    // would delay every installation.
    ImmDisableIME(0);
    HWND dialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_PROGRESS), (HWND)owner,
                                     ProgressDialogProc, 0);
    if (!dialog)
        return 0;
    PublishDialog(dialog);
    ShowWindow(dialog, SW_SHOWDEFAULT);
    UpdateWindow(dialog);
    SetEvent(s_ready);
    // No IsDialogMessage: nothing in the dialog takes input. A failed call (-1) ends the loop
    // as the quit message does.
    MSG msg;
    while (GetMessageA(&msg, dialog, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    PublishDialog(NULL);
    return 0;
}

// Closes the thread's handles; true when there was a thread. A thread that has not ended (one
// that hangs past the waits) may still signal its event: both handles are left to it.
static bool ReleaseProgressThread()
{
    if (s_thread && WaitForSingleObject(s_thread, 0) != WAIT_OBJECT_0) {
        s_thread = s_ready = NULL;
        return true;
    }
    bool closed = s_thread && CloseHandle(s_thread);
    if (s_ready)
        CloseHandle(s_ready);
    s_thread = s_ready = NULL;
    return closed;
}

void StartProgressDialog(HWND owner)
{
    if (PublishedDialog())
        return;
    const char *header = GetTableString(IDS_HEADER);
    FormatText(s_headerLine, sizeof s_headerLine, "%s\n", header ? header : "");
    // A thread left from a dialog that closed early has ended or is ending, past its signal.
    ReleaseProgressThread();
    // Without the event the thread is not started: told as a thread that could not be made.
    s_ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    DWORD threadId;
    s_thread = s_ready ? CreateThread(NULL, 0, ProgressThreadMain, owner, 0, &threadId) : NULL;
    if (!s_thread) {
        ShowSystemError(owner, GetLastError(), "Non-critical threading Error", MB_ICONERROR);
        return;
    }
    // The thread ending first means it could not create the dialog.
    HANDLE waits[2] = {s_ready, s_thread};
    WaitForMultipleObjects(2, waits, FALSE, kThreadWaitMs);
}

static unsigned long long FileSize(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        size.QuadPart = 0;
    CloseHandle(file);
    return (unsigned long long)size.QuadPart;
}

void ExpectFiles(char *const paths[], int count)
{
    unsigned long long total = 0;
    for (int i = 0; i < count; i++)
        if (paths[i])
            total += FileSize(paths[i]);
    s_expectedTotal = (double)total;
}

void UpdateProgress(const char *source, const char *target, bool newFile)
{
    HWND dialog = PublishedDialog();
    if (!dialog)
        return;
    // A file counts as done when the next one starts.
    if (newFile && s_lastFile)
        s_totalBytes += FileSize(s_lastFile);

    // The size text must be complete in its own buffer before the format string is fetched.
    unsigned long long size = FileSize(source);
    const char *unitWord = GetTableString(IDS_UNIT_BYTES + UnitOfSize(size));
    char sizeText[16];
    FormatSizeText(sizeText, sizeof sizeText, size, unitWord ? unitWord : "");
    const char *format = GetTableString(IDS_PROGRESS_FORMAT);
    char message[1024];
    FormatText(message, sizeof message, format ? format : "%s\n%s\n%s", source, target, sizeText);
    SetDlgItemTextA(dialog, IDC_PROGRESS_MESSAGE, message);

    double fraction = s_totalBytes / (s_expectedTotal ? s_expectedTotal : kFixedExpectedTotal);
    if (fraction > 1.0)
        fraction = 1.0;
    char percent[8];
    FormatText(percent, sizeof percent, "%d%%", (int)(fraction * 100));
    SetDlgItemTextA(dialog, IDC_PERCENT, percent);
    SetBarWidth(dialog, (int)(s_barWidth * fraction));

    if (newFile) {
        free(s_lastFile);
        s_lastFile = DupString(source);
    }
}

bool CloseProgressDialog()
{
    HWND dialog = PublishedDialog();
    if (dialog)
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    // The loop clears the handle as it ends, but the window goes only with the thread: wait for
    // the thread itself, so that no later box appears beside a dying dialog.
    if (s_thread)
        WaitForSingleObject(s_thread, kThreadWaitMs);
    return ReleaseProgressThread();
}
