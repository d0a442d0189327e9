// Where the programs may load DLLs from: the system directory only, so that a DLL dropped
// beside them (the Downloads folder, %TEMP%) is never loaded into an elevated process.
#ifndef ZV_COMMON_DLL_SEARCH_H
#define ZV_COMMON_DLL_SEARCH_H

// Limits later DLL loads to the system directory where Windows allows it; older systems,
// which lack the call, go on as before.
void RestrictDllSearch();

#endif
