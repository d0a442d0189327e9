// The module instance and the string loader that every page reads the string table through.
#ifndef ZV_SETUP_TABLE_STRING_H
#define ZV_SETUP_TABLE_STRING_H

#include <windows.h>

// Written once by WinMain before any other thread exists; only read afterwards.
extern HINSTANCE g_hInstance;

// The string-table entry in a process-wide buffer that the next call overwrites, or null
// when the entry is missing or the instance is not yet known. Main thread only.
const char *GetTableString(UINT number);

#endif
