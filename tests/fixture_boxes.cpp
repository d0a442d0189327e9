// Boxes read and answered through the window driver.
#include "fixture_boxes.h"

#include "check.h"
#include "driver.h"
#include "resources/resource.h"

static HANDLE s_ownerThread;
static DWORD s_ownerThreadId;
static HWND volatile s_owner; // written by the owner thread once its queue exists

static DWORD WINAPI OwnerThreadMain(void *)
{
    HWND window = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE); // the queue exists before the window is known
    s_owner = window;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return 0;
}

HWND StartOwnerWindow()
{
    s_owner = NULL;
    s_ownerThread = CreateThread(NULL, 0, OwnerThreadMain, NULL, 0, &s_ownerThreadId);
    // A thread that ended without its window will not make one later.
    WaitUntil([] { return s_owner || WaitForSingleObject(s_ownerThread, 0) != WAIT_TIMEOUT; },
              kWaitMs);
    return s_owner;
}

void StopOwnerWindow()
{
    PostThreadMessageA(s_ownerThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(s_ownerThread, kWaitMs);
    CloseHandle(s_ownerThread);
}

const ExpectedBox kReinstallQuestion = {
    "Really Re-Install?",
    "You appear to have already installed this package here. Do you wish to install it again?",
    MB_ICONQUESTION,
    MB_YESNO,
    IDYES,
    false,
    "",
    ""};
const ExpectedBox kCompleteBox = {
    "Happy Fragging", "Installation is complete", 0, MB_OK, IDOK, false, "", ""};
const ExpectedBox kAbortedBox = {
    "Installation aborted", "Installation aborted", 0, MB_OK, IDOK, false, "", ""};
ExpectedBox WarningBox(const std::string &caption, const std::string &text)
{
    return {caption, text, MB_ICONWARNING, MB_OK, IDOK, false, "", ""};
}

const ExpectedBox kCopyErrorsBox = WarningBox(
    "File Copy Errors",
    "There were one or more errors whilst installing the files. The most common cause of this "
    "is that you do not have the full retail version of Quake3: Arena installed. This add-on "
    "does not function with the test or demo releases of Quake3: Arena.");

ExpectedBox PackNotInstalledBox(const std::string &packSource, const std::string &lastTarget,
                                const std::string &packSize, const std::string &percent)
{
    return {"File could not be installed.",
            packSource,
            MB_ICONWARNING,
            MB_OK,
            IDOK,
            true,
            "Currently Installing File: " + packSource + "\nTo Location: " + lastTarget +
                "\nFile Size: " + packSize,
            percent};
}

HWND FindProgressDialog()
{
    return FindTopWindow("#32770", kInstallerCaption, IDC_PROGRESS_MESSAGE);
}

void AnswerBoxesAt(const char *file, int line, const std::vector<ExpectedBox> &expected, HWND owner,
                   const std::function<bool()> &finished)
{
    size_t next = 0;
    // Each look at the screen waits a little for a box; the loop also ends when the run that
    // shows them has finished.
    WaitUntil(
        [&] {
            if (finished())
                return true;
            MessageBoxInfo box;
            if (!WaitForMessageBox(&box, NULL, 50))
                return false;
            if (next >= expected.size()) {
                CHECK_AT(file, line, false, "unexpected box \"%s\": %s", box.caption.c_str(),
                         box.text.c_str());
                AnswerMessageBox(box, box.buttons == MB_YESNO ? IDNO : IDOK);
                return false;
            }
            const ExpectedBox &want = expected[next++];
            CHECK_TEXT_AT(file, line, box.caption, want.caption);
            CHECK_TEXT_AT(file, line, box.text, want.text);
            CHECK_AT(file, line, box.icon == want.icon && box.buttons == want.buttons,
                     "\"%s\": icon %x buttons %x", box.caption.c_str(), box.icon, box.buttons);
            CHECK_AT(file, line, GetWindow(box.box, GW_OWNER) == owner,
                     "\"%s\" is not owned by the owner window", box.caption.c_str());
            HWND progress = FindProgressDialog();
            CHECK_AT(file, line, (progress != NULL) == want.progressShown,
                     "\"%s\": progress dialog shown is %d", box.caption.c_str(),
                     !want.progressShown);
            if (progress && want.progressShown) {
                CHECK_TEXT_AT(file, line, ControlText(progress, IDC_PROGRESS_MESSAGE),
                              want.progressMessage);
                CHECK_TEXT_AT(file, line, ControlText(progress, IDC_PERCENT), want.progressPercent);
            }
            AnswerMessageBox(box, want.answer);
            return false;
        },
        120000);
    CHECK_AT(file, line, next == expected.size(), "%u of %u expected boxes seen", (unsigned)next,
             (unsigned)expected.size());
}
