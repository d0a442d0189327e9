// The slot rule in one place, so that what the installer writes is what the uninstaller
// accepts.
#include "pack_slot.h"

#include "names.h"
#include "text.h"

#include <string.h>

static const char kPackPrefix[] = "baseq3\\PakZV";
static const char kPackSuffix[] = ".pk3";

bool FormatPackSlot(int slot, char *buffer, size_t size)
{
    if (slot < kFirstPackSlot || slot > kLastPackSlot)
        return false;
    return FormatText(buffer, size, kPackSlotFormat, slot);
}

int PackSlotOf(const char *name)
{
    size_t prefix = sizeof kPackPrefix - 1, suffix = sizeof kPackSuffix - 1;
    if (strlen(name) != prefix + 2 + suffix || !SameAsciiText(name, kPackPrefix, prefix) ||
        !SameAsciiText(name + prefix + 2, kPackSuffix, suffix))
        return 0;
    char tens = name[prefix], ones = name[prefix + 1];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9')
        return 0;
    return (tens - '0') * 10 + (ones - '0');
}
