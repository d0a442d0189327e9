// A reader never finds one of our files half-written: the bytes go to a temporary name that
// nothing loads, are flushed, and only a complete file is renamed to the real name. Every way
// out removes the temporary file, and a rename is all or nothing. The copy is made through
// handles, not by name, so that nothing planted at the temporary name is ever followed.
#include "safe_file.h"

#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

// The block CopyFileA itself uses: under Wine a block of a megabyte reads and writes four
// times slower than this one.
static const DWORD kCopyBlock = 64 * 1024;

static bool CopyBytes(HANDLE from, HANDLE to, DWORD *error)
{
    char *block = (char *)malloc(kCopyBlock);
    if (!block) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    bool ok = true;
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(from, block, kCopyBlock, &got, NULL)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (!WriteFile(to, block, got, &written, NULL) || written != got) {
            // A write cut short without an error has met a full disk.
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL);
            ok = false;
            break;
        }
    }
    ok = ok && FlushFileBuffers(to);
    if (!ok)
        *error = GetLastError();
    free(block);
    return ok;
}

void DiscardTemporary(HANDLE file)
{
    DWORD error = GetLastError(), ignored;
    RemoveOnClose(file, &ignored);
    CloseHandle(file);
    SetLastError(error);
}

bool CopyToTemporary(const GameDir *dir, const char *source, const char *temp, HANDLE *file,
                     DWORD *error)
{
    *file = INVALID_HANDLE_VALUE;
    HANDLE from = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (from == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    HANDLE to;
    FileCheck check = CreateTemporary(dir, temp, &to, error);
    bool ok = check == FILE_CHECKED && CopyBytes(from, to, error);
    if (check != FILE_CHECKED && check != FILE_FAILED)
        *error = check == FILE_MISSING ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED;
    CloseHandle(from);
    if (ok)
        *file = to;
    else if (check == FILE_CHECKED)
        DiscardTemporary(to);
    return ok;
}

bool CopyOver(const GameDir *dir, const char *source, const char *name, DWORD *error)
{
    // The same name with its last character turned into '~', which the game never loads.
    // It is exactly as long as the name itself, so a file whose name fits the path limit can
    // always be written under it. Our names are ASCII.
    char temp[MAX_PATH];
    size_t length = strlen(name);
    if (length == 0 || !FormatText(temp, sizeof temp, "%s", name)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    temp[length - 1] = '~';
    HANDLE file;
    if (!CopyToTemporary(dir, source, temp, &file, error))
        return false;
    bool copied = RenameGameFile(file, dir, name, true, error);
    if (copied)
        CloseHandle(file);
    else
        DiscardTemporary(file);
    return copied;
}
