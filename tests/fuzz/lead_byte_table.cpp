// The lead-byte test of the native build, where there is no system to ask: the lead-byte
// ranges of the double-byte code pages the fuzz targets read paths in, as the system's own
// code page tables give them. Code page 0 stands for the ANSI code page, taken as 1252 here.
#include "common/lead_byte.h"

struct LeadRanges {
    unsigned codePage;
    unsigned char first1, last1, first2, last2; // two ranges; an unused one is 0 to 0
};

static const LeadRanges kRanges[] = {
    {932, 0x81, 0x9F, 0xE0, 0xFC}, // Japanese, Shift-JIS
    {936, 0x81, 0xFE, 0, 0},       // Simplified Chinese, GBK
    {949, 0x81, 0xFE, 0, 0},       // Korean, Unified Hangul
    {950, 0x81, 0xFE, 0, 0},       // Traditional Chinese, Big5
};

bool IsLeadByte(unsigned codePage, unsigned char byte)
{
    for (const LeadRanges &r : kRanges)
        if (r.codePage == codePage)
            return (byte >= r.first1 && byte <= r.last1) ||
                   (r.last2 && byte >= r.first2 && byte <= r.last2);
    return false; // 0 and 1252 (Western) and any other single-byte code page
}
