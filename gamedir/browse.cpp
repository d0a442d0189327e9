// The game directory picked in the system's open-file dialog: the directory of the chosen
// file. The file itself is not tested here; Install tests the directory.
#include "browse.h"

#include "../setup/table_string.h"
#include "../common/program_dir.h"

#include <commdlg.h>
#include <stdlib.h>
#include <string.h>

// One filter: description, pattern, and the empty string that closes the list.
static const char kFilter[] = "Quake3 Executable\0quake3.EXE\0";
static const DWORD kFileBufferSize = 512;

typedef BOOL(WINAPI *OpenFileNameProc)(OPENFILENAMEA *dialog);

// The dialog's library is loaded at the first Browse, not with the program: it brings the
// shell and the common controls, whose start-up would delay the first page for everybody.
// It stays loaded, as the shell may still run threads of its own after the dialog has closed.
// Main thread only.
static OpenFileNameProc s_getOpenFileName;

static OpenFileNameProc LoadOpenFileDialog()
{
    // A known system DLL: the system's own copy loads, never one planted beside the program.
    HMODULE library = s_getOpenFileName ? NULL : LoadLibraryA("comdlg32.dll");
    if (library)
        s_getOpenFileName =
            (OpenFileNameProc)(void (*)(void))GetProcAddress(library, "GetOpenFileNameA");
    return s_getOpenFileName;
}

bool BrowseForGameDirectory(HWND owner, char **directory)
{
    char *filter = (char *)malloc(sizeof kFilter);
    char *file = (char *)malloc(kFileBufferSize);
    if (!filter || !file) {
        free(filter);
        free(file);
        free(*directory);
        *directory = NULL;
        return false;
    }
    memcpy(filter, kFilter, sizeof kFilter);
    file[0] = 0;

    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    // The size without the later extension fields, which this dialog does not use.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = g_hInstance;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kFileBufferSize;
    // A text past the path limit names no folder, and Wine's dialog overruns its stack on one
    // of about a thousand characters: the dialog then opens in its usual folder.
    if (strlen(*directory) < MAX_PATH)
        dialog.lpstrInitialDir = *directory;
    dialog.lpstrTitle = "Please select your Quake3:Arena executable";
    // No OFN_NOCHANGEDIR: a relative path typed afterwards resolves against the folder that
    // the dialog left as the current directory.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = "*.MD3";
    OpenFileNameProc getOpenFileName = LoadOpenFileDialog();
    bool chosen = getOpenFileName && getOpenFileName(&dialog) != 0;
    free(filter);

    if (chosen) {
        free(*directory);
        *directory = DirectoryOfPath(file, strlen(file), kFileBufferSize);
    }
    free(file);
    return chosen && *directory;
}
