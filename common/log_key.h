// The keys of the install log that count: decimal numbers as the profile functions find them.
#ifndef ZV_COMMON_LOG_KEY_H
#define ZV_COMMON_LOG_KEY_H

#include <stddef.h>

// True when the key (length characters, already trimmed) is 1 to 9 decimal digits without a
// leading zero, the only spelling a lookup of key k finds; its value goes to number.
bool ParseLogKey(const char *key, size_t length, unsigned long *number);

#endif
