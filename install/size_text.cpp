// Size texts for the progress dialog. Sizes are whole 64-bit file sizes, so a file of 2 GiB or
// more reads as so many GB, never as a negative number.
#include "size_text.h"

#include "../common/text.h"

static const unsigned long long kKilobyte = 1024;
static const unsigned long long kMegabyte = 1024 * kKilobyte;
static const unsigned long long kGigabyte = 1024 * kMegabyte;

SizeUnit UnitOfSize(unsigned long long bytes)
{
    if (bytes < 1500)
        return kUnitBytes;
    if (bytes < 1500 * kKilobyte)
        return kUnitKilobytes;
    if (bytes < 1500 * kMegabyte)
        return kUnitMegabytes;
    return kUnitGigabytes;
}

void FormatSizeText(char *buffer, size_t size, unsigned long long bytes, const char *unitWord)
{
    static const unsigned long long divisors[] = {1, kKilobyte, kMegabyte, kGigabyte};
    SizeUnit unit = UnitOfSize(bytes);
    if (unit == kUnitBytes)
        FormatText(buffer, size, "%u %s", (unsigned)bytes, unitWord);
    else
        FormatText(buffer, size, "%.2f %s", (double)bytes / divisors[unit], unitWord);
}
