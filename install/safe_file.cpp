// A reader never finds one of our files half-written: the bytes go to a temporary name that
// nothing loads, are flushed, and only a complete file is renamed to the real name. Every way
// out removes the temporary file, and a rename is all or nothing.
#include "safe_file.h"

#include "../common/text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

// The temporary name beside a file: the same name with its last character turned into '~',
// which the game never loads. It is exactly as long as the name itself, so a file whose name
// fits the path limit can always be written under it. Our names end in ASCII letters, and the
// name itself is never chosen. A new heap string, or null when memory runs out.
static char *TemporaryName(const char *path)
{
    size_t length = strlen(path);
    char *temp = length > 0 ? DupString(path) : NULL;
    if (temp)
        temp[length - 1] = temp[length - 1] == '~' ? '-' : '~';
    else
        SetLastError(length > 0 ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_NAME);
    return temp;
}

static bool FlushFile(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = FlushFileBuffers(file) != 0;
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return ok;
}

// Deletes a file without disturbing the error the caller reports.
static void RemoveQuietly(const char *path)
{
    DWORD error = GetLastError();
    DeleteFileA(path);
    SetLastError(error);
}

bool CopyToTemporary(const char *source, const char *temp)
{
    // What a killed run left goes first; the copy must start empty.
    DeleteFileA(temp);
    bool ok = CopyFileA(source, temp, TRUE) != 0;
    if (ok) {
        // A package copied from a read-only medium would otherwise stay read-only, and the
        // next installation could not replace it.
        DWORD attributes = GetFileAttributesA(temp);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(temp, attributes & ~FILE_ATTRIBUTE_READONLY);
        ok = FlushFile(temp);
    }
    if (!ok)
        RemoveQuietly(temp);
    return ok;
}

bool MoveTemporary(const char *temp, const char *target, bool replace)
{
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExA(temp, target, flags) != 0;
}

// Writes a new file: one left under the name goes first, and the file must then be new, so a
// link planted there is never written through.
static bool WriteWhole(const char *path, const char *data, size_t length)
{
    DeleteFileA(path);
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, (DWORD)length, &written, NULL) && written == length &&
              FlushFileBuffers(file);
    DWORD error = GetLastError();
    if (!CloseHandle(file))
        ok = false;
    else
        SetLastError(error);
    return ok;
}

bool CopyOver(const char *source, const char *target)
{
    char *temp = TemporaryName(target);
    if (!temp)
        return false;
    bool copied = CopyToTemporary(source, temp) && MoveTemporary(temp, target, true);
    if (!copied)
        RemoveQuietly(temp);
    free(temp);
    return copied;
}

bool ReplaceFileContents(const char *path, const char *data, size_t length)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    char *temp = TemporaryName(path);
    if (!temp)
        return false;
    bool ok = WriteWhole(temp, data, length) && MoveTemporary(temp, path, true);
    if (!ok)
        RemoveQuietly(temp);
    free(temp);
    return ok;
}
