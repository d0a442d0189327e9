// The install log is read whole by both programs, each through a handle it has checked; the
// size is read as 64 bits so that a file past 4 GB is never taken for a small one.
#include "read_file.h"

#include <stdlib.h>

bool ReadWholeFile(HANDLE file, unsigned long long maxSize, char **text, size_t *length,
                   DWORD *error)
{
    *text = NULL;
    *length = 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        *error = GetLastError();
        return false;
    }
    if ((unsigned long long)size.QuadPart > maxSize) {
        *error = ERROR_FILE_TOO_LARGE;
        return false;
    }
    DWORD bytes = (DWORD)size.QuadPart, got = 0;
    char *data = (char *)malloc((size_t)bytes + 1);
    if (!data) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    if (!ReadFile(file, data, bytes, &got, NULL) || got != bytes) {
        // A read that ends early without an error: the file shrank while it was read.
        *error = GetLastError();
        if (*error == 0)
            *error = ERROR_READ_FAULT;
        free(data);
        return false;
    }
    data[got] = 0;
    *text = data;
    *length = got;
    return true;
}
