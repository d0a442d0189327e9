// The scripted walk-through behind the README's run command where there is no display: runs
// ZVSetup.exe as a user would, saving a screenshot of every page and box it meets, and goes on
// with the default choice: Continue, Search then Install, Yes and OK. Given the path the
// uninstaller is installed to, it then runs that too from its directory and answers Yes and OK.
// Usage: walkthrough.exe SETUP_EXE SCREENSHOT_DIR [INSTALLED_UNINSTALLER]
#include "driver.h"
#include "resources/resource.h"

#include <ctype.h>
#include <stdio.h>
#include <string>

static const char *kCaption = "ZV Developments Model Installation";

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

static void Shoot(const std::string &dir, int *count, const std::string &what)
{
    std::string name = what;
    for (char &c : name)
        if (!isalnum((unsigned char)c))
            c = '-';
    char number[8];
    snprintf(number, sizeof number, "%02d-", ++*count);
    name = number + name + ".png";
    Sleep(300); // let the window finish painting
    bool saved = SaveScreenshot((dir + "\\" + name).c_str());
    Log(((saved ? "saved " : "could not save ") + name).c_str());
}

// Runs the installed uninstaller as the list of programs would and shoots its two boxes.
static void Uninstall(const std::string &uninstaller, const std::string &dir, int *shots)
{
    if (GetFileAttributesA(uninstaller.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Log(("no uninstaller at " + uninstaller).c_str());
        return;
    }
    std::string workDir = uninstaller.substr(0, uninstaller.rfind('\\'));
    HANDLE process = StartProgram(uninstaller.c_str(), workDir.c_str());
    if (!process) {
        Log("cannot start the uninstaller");
        return;
    }
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process, 100) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > 60000) {
            Log("the uninstaller did not finish in a minute");
            TerminateProcess(process, 1);
            break;
        }
        MessageBoxInfo box;
        if (WaitForMessageBox(&box, NULL, 0)) {
            Log(("message box: " + box.caption + ": " + box.text).c_str());
            Shoot(dir, shots, box.buttons == MB_YESNO ? "uninstall question" : "uninstalled");
            AnswerMessageBox(box, box.buttons == MB_YESNO ? IDYES : IDOK);
        }
    }
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    char line[64];
    snprintf(line, sizeof line, "uninstaller ended with exit code %lu", code);
    Log(line);
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        Log("usage: walkthrough SETUP_EXE SCREENSHOT_DIR");
        return 2;
    }
    std::string dir = argv[2];
    CreateDirectoryA(dir.c_str(), NULL);
    HANDLE setup = StartProgram(argv[1], NULL);
    if (!setup) {
        Log("cannot start the installer");
        return 1;
    }
    int shots = 0, infoPages = 0;
    bool searched = false;
    HWND lastPage = NULL;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(setup, 100) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > 120000) {
            Log("the installer did not finish in two minutes");
            TerminateProcess(setup, 1);
            break;
        }
        MessageBoxInfo box;
        if (WaitForMessageBox(&box, NULL, 0)) {
            Log(("message box: " + box.caption + ": " + box.text).c_str());
            Shoot(dir, &shots, "box " + box.caption);
            AnswerMessageBox(box, box.buttons == MB_YESNO ? IDYES : IDOK);
            continue;
        }
        HWND info = FindTopWindow("#32770", kCaption, IDC_MESSAGE);
        if (info && info != lastPage) {
            lastPage = info;
            Shoot(dir, &shots, ++infoPages == 1 ? "introduction" : "terms");
            Click(info, IDOK);
            continue;
        }
        HWND details = FindTopWindow("#32770", kCaption, IDC_GAMEDIR);
        if (details && IsWindowEnabled(details)) {
            if (!searched) {
                Shoot(dir, &shots, "details");
                Click(details, IDC_SEARCH);
                searched = true;
            } else {
                Shoot(dir, &shots, "details found");
                Click(details, IDOK);
                WaitForGone(details);
            }
            continue;
        }
        HWND progress = FindTopWindow("#32770", kCaption, IDC_PROGRESS_BAR);
        if (progress && progress != lastPage) {
            lastPage = progress;
            Shoot(dir, &shots, "progress");
        }
    }
    DWORD code = 1;
    GetExitCodeProcess(setup, &code);
    CloseHandle(setup);
    char line[64];
    snprintf(line, sizeof line, "installer ended with exit code %lu", code);
    Log(line);
    if (code == 0 && argc >= 4)
        Uninstall(argv[3], dir, &shots);
    return code == 0 ? 0 : 1;
}
