// Strings come from the resources through one shared buffer: callers use the text at once
// or copy it before the next fetch.
#include "table_string.h"

HINSTANCE g_hInstance;

static char s_stringBuffer[1024];

const char *GetTableString(UINT number)
{
    if (!g_hInstance)
        return NULL;
    if (LoadStringA(g_hInstance, number, s_stringBuffer, sizeof s_stringBuffer) == 0)
        return NULL;
    return s_stringBuffer;
}
