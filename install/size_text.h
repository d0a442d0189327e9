// The size of a file as the progress dialog shows it: a number and a unit word.
#ifndef ZV_INSTALL_SIZE_TEXT_H
#define ZV_INSTALL_SIZE_TEXT_H

#include <stddef.h>

// Units in the order of their string numbers: bytes, kilobytes, megabytes, gigabytes.
enum SizeUnit { kUnitBytes, kUnitKilobytes, kUnitMegabytes, kUnitGigabytes };

// The unit a size is shown in: a larger unit takes over at 1500 of the smaller one.
SizeUnit UnitOfSize(unsigned long long bytes);
// "1499 Bytes", "1.46 KB": the size in its unit, with the given unit word.
void FormatSizeText(char *buffer, size_t size, unsigned long long bytes, const char *unitWord);

#endif
