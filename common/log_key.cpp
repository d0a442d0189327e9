// A key "01" or "+1" is another key than "1" to the profile functions: only plain digits
// without a leading zero are entries.
#include "log_key.h"

bool ParseLogKey(const char *key, size_t length, unsigned long *number)
{
    if (length == 0 || length > 9 || key[0] == '0')
        return false;
    unsigned long n = 0;
    for (size_t i = 0; i < length; i++) {
        if (key[i] < '0' || key[i] > '9')
            return false;
        n = n * 10 + (unsigned long)(key[i] - '0');
    }
    *number = n;
    return true;
}
