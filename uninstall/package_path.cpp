// A recorded path is only trusted when it is, letter case aside, exactly one of the names the
// installer gives its files: anything else may come from a changed log. Paths are walked
// character by character, so that double-byte code pages read right.
#include "package_path.h"

#include "../common/pack_slot.h"
#include "../common/text.h"

// The separator before the one at end, or null; walked from the start, as only the start
// tells a trail byte from a character.
static const char *SeparatorBefore(const char *path, const char *end, unsigned codePage)
{
    const char *last = NULL;
    for (const char *at = path; at < end; at += CharLength(at, codePage))
        if (*at == '\\')
            last = at;
    return last;
}

int SplitPackagePath(char *path, size_t *dirLength, unsigned codePage)
{
    if (!NormalisePath(path, codePage))
        return -1;
    size_t root = RootLength(path, codePage);
    const char *name = LastSeparator(path, codePage);
    if (!name || (size_t)(name - path) + 1 < root)
        return -1;
    const char *start = name;
    int number = EqualAsciiText(name + 1, kLicenceFile) ? 0 : -1;
    if (number < 0) {
        start = SeparatorBefore(path, name, codePage);
        number = start && (size_t)(start - path) + 1 >= root ? PackSlotOf(start + 1) : 0;
        if (number == 0)
            return -1;
    }
    // A root keeps its separator; any other directory ends before it.
    size_t length = (size_t)(start - path);
    *dirLength = length + 1 == root ? root : length;
    return number;
}

bool PackageFileName(int number, char *buffer, size_t size)
{
    if (number == 0)
        return FormatText(buffer, size, "%s", kLicenceFile);
    return FormatPackSlot(number, buffer, size);
}
