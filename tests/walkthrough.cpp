// The scripted walk-through behind the README's run command where there is no display: runs
// ZVSetup.exe as a user would, saving a screenshot of every page and box it meets, and goes on
// with the default choice: Continue, Search then Install, Yes and OK. Given the path the
// uninstaller is installed to, it then runs that too from its directory and answers Yes and OK;
// with --uninstall it runs only the uninstaller.
// Usage: walkthrough.exe SETUP_EXE SCREENSHOT_DIR [INSTALLED_UNINSTALLER]
//        walkthrough.exe --uninstall INSTALLED_UNINSTALLER SCREENSHOT_DIR
#include "driver.h"
#include "resources/resource.h"

#include <ctype.h>
#include <stdio.h>
#include <string>

static void Log(const char *text)
{
    printf("%s\n", text);
    fflush(stdout);
    FILE *f = fopen("walkthrough.log", "a");
    if (f) {
        fprintf(f, "%s\n", text);
        fclose(f);
    }
}

// Waits until the screen shows the same picture twice running, so that a window has finished
// painting; then saves it. Gives up waiting after the driver's limit and saves what it has.
static void Shoot(const std::string &dir, int *count, const std::string &what)
{
    std::string name = what;
    for (char &c : name)
        if (!isalnum((unsigned char)c))
            c = '-';
    char number[8];
    snprintf(number, sizeof number, "%02d-", ++*count);
    name = number + name + ".png";
    Image shown, again;
    bool captured = CaptureScreen(&shown);
    WaitUntil(
        [&] {
            if (!CaptureScreen(&again))
                return false;
            bool settled = captured && again.pixels == shown.pixels;
            shown = again;
            captured = true;
            return settled;
        },
        kWaitMs, 100);
    bool saved = captured && SavePng(shown, (dir + "\\" + name).c_str());
    Log(((saved ? "saved " : "could not save ") + name).c_str());
}

// Answers the box on the screen, if any, with Yes or OK, after its picture.
static bool AnswerAnyBox(const std::string &dir, int *shots, bool uninstalling)
{
    MessageBoxInfo box;
    if (!WaitForMessageBox(&box, NULL, 0))
        return false;
    Log(("message box: " + box.caption + ": " + box.text).c_str());
    if (uninstalling)
        Shoot(dir, shots, box.buttons == MB_YESNO ? "uninstall question" : "uninstalled");
    else
        Shoot(dir, shots, "box " + box.caption);
    AnswerMessageBox(box, box.buttons == MB_YESNO ? IDYES : IDOK);
    return true;
}

static bool HasEnded(HANDLE process)
{
    return WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
}

// Runs the installed uninstaller as the list of programs would and shoots its two boxes. It
// hands over to a temporary copy of itself at once: the copy asks and reports, and the
// walk-through waits for the copy to end too.
static bool Uninstall(const std::string &uninstaller, const std::string &dir, int *shots)
{
    if (GetFileAttributesA(uninstaller.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Log(("no uninstaller at " + uninstaller).c_str());
        return false;
    }
    std::string workDir = uninstaller.substr(0, uninstaller.rfind('\\'));
    HANDLE process = StartProgram(uninstaller.c_str(), workDir.c_str());
    if (!process) {
        Log("cannot start the uninstaller");
        return false;
    }
    HANDLE copy = NULL;
    MessageBoxInfo box;
    bool reported = false;
    while (!reported && WaitForMessageBox(&box, "ZV-001 Uninstall", 60000)) {
        if (!copy) {
            DWORD id = 0;
            GetWindowThreadProcessId(box.box, &id);
            copy = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        }
        Log(("message box: " + box.caption + ": " + box.text).c_str());
        reported = box.buttons != MB_YESNO;
        Shoot(dir, shots, reported ? "uninstalled" : "uninstall question");
        AnswerMessageBox(box, reported ? IDOK : IDYES);
    }
    if (!reported)
        Log("the uninstaller showed no report within a minute");
    DWORD code = 1, copyCode = 1;
    FinishProgram(process, &code);
    if (copy)
        FinishProgram(copy, &copyCode);
    char line[96];
    snprintf(line, sizeof line, "uninstaller ended with exit code %lu", code | copyCode);
    Log(line);
    return reported && (code | copyCode) == 0;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        Log("usage: walkthrough SETUP_EXE SCREENSHOT_DIR");
        return 2;
    }
    if (argc == 4 && std::string(argv[1]) == "--uninstall") {
        int shots = 0;
        CreateDirectoryA(argv[3], NULL);
        return Uninstall(argv[2], argv[3], &shots) ? 0 : 1;
    }
    std::string dir = argv[2];
    CreateDirectoryA(dir.c_str(), NULL);
    int shots = 0;
    SetupRun run = RunSetupToDetails(argv[1], [&](HWND, int number) {
        Shoot(dir, &shots, number == 1 ? "introduction" : "terms");
        return true;
    });
    if (!run.process) {
        Log("cannot start the installer");
        return 1;
    }
    if (!run.failure.empty())
        Log(run.failure.c_str());
    bool searched = false;
    HWND lastProgress = NULL;
    // Each round handles what the screen shows; the wait ends with the installer.
    if (!WaitUntil(
            [&] {
                if (HasEnded(run.process) || AnswerAnyBox(dir, &shots, false))
                    return HasEnded(run.process);
                HWND details = FindTopWindow("#32770", kInstallerCaption, IDC_GAMEDIR);
                // Search stays disabled while the drives are walked.
                if (details && IsWindowEnabled(details) &&
                    IsWindowEnabled(GetDlgItem(details, IDC_SEARCH))) {
                    if (!searched) {
                        Shoot(dir, &shots, "details");
                        Click(details, IDC_SEARCH);
                        searched = true;
                    } else {
                        Shoot(dir, &shots, "details found");
                        Click(details, IDOK);
                        WaitForGone(details);
                    }
                    return false;
                }
                HWND progress = FindTopWindow("#32770", kInstallerCaption, IDC_PROGRESS_BAR);
                if (progress && progress != lastProgress) {
                    lastProgress = progress;
                    Shoot(dir, &shots, "progress");
                }
                return false;
            },
            120000, 100))
        Log("the installer did not finish in two minutes");
    DWORD code = 1;
    FinishProgram(run.process, &code, 0);
    char line[64];
    snprintf(line, sizeof line, "installer ended with exit code %lu", code);
    Log(line);
    if (code == 0 && argc >= 4 && !Uninstall(argv[3], dir, &shots))
        return 1;
    return code == 0 ? 0 : 1;
}
