// Reading a whole file through a handle the caller opened (and checked) itself.
#ifndef ZV_COMMON_READ_FILE_H
#define ZV_COMMON_READ_FILE_H

#include <windows.h>

// The file's bytes as a new heap buffer, terminated by a zero byte after *length bytes. False
// with the error for a file larger than maxSize (ERROR_FILE_TOO_LARGE), one cut short while
// reading or memory running out; *text is then null.
bool ReadWholeFile(HANDLE file, unsigned long long maxSize, char **text, size_t *length,
                   DWORD *error);

#endif
