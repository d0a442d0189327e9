// A pack counts only when the log lists it in this directory, by spelling or by identity: a
// pack of someone else's in a free slot is not ours to show.
#include "package_size.h"

#include "log_edit.h"
#include "names.h"
#include "pack_slot.h"
#include "path.h"
#include "text.h"

#include <string.h>

// A hostile log may name thousands of directories; only this many are looked up.
static const int kLookups = 8;

struct OwnDir {
    const GameDir *dir;
    char text[MAX_PATH];
    int lookups;
};

// The directory's spelling as recorded paths are compared with it: normalised, and without
// a separator at its end unless it is a root.
static void SpellDir(char *path)
{
    if (!NormalisePath(path, CP_ACP))
        return;
    const char *last = LastSeparator(path, CP_ACP);
    size_t root = RootLength(path, CP_ACP);
    if (last && last[1] == 0 && (size_t)(last - path) + 1 > root)
        *(char *)last = 0;
}

// The pack slot a recorded path names in this directory, or 0.
static int ListedSlot(OwnDir *own, const Slice &value)
{
    char path[MAX_PATH];
    if (value.length >= sizeof path)
        return 0;
    memcpy(path, value.text, value.length);
    path[value.length] = 0;
    if (!NormalisePath(path, CP_ACP))
        return 0;
    char *name = (char *)LastSeparator(path, CP_ACP);
    if (!name)
        return 0;
    *name = 0;
    char *folder = (char *)LastSeparator(path, CP_ACP);
    *name = '\\';
    int slot = folder ? PackSlotOf(folder + 1) : 0;
    if (!slot)
        return 0;
    // "X:\baseq3\..." lies in the root "X:\", which keeps its separator.
    size_t dirLength = (size_t)(folder - path);
    if (dirLength + 1 == RootLength(path, CP_ACP))
        dirLength++;
    path[dirLength] = 0;
    SpellDir(path);
    if (SamePathText(path, own->text, CP_ACP))
        return slot;
    if (own->lookups >= kLookups)
        return 0;
    own->lookups++;
    return IsSameDirectory(own->dir, path) ? slot : 0;
}

static unsigned long long FileBytes(const GameDir *dir, const char *name)
{
    HANDLE file;
    DWORD error;
    if (OpenGameFile(dir, name, FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &file,
                     &error) != FILE_CHECKED)
        return 0;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) != 0;
    CloseHandle(file);
    return ok ? (unsigned long long)size.QuadPart : 0;
}

DWORD PackageSizeKB(const GameDir *dir, const char *log, size_t length)
{
    bool listed[kLastPackSlot + 1] = {};
    OwnDir own = {dir, "", 0};
    FormatText(own.text, sizeof own.text, "%s", dir->path);
    SpellDir(own.text);
    PackageFiles found = {false, NULL, 0};
    if (log && FindPackageFiles(log, length, kPackageName, &found)) {
        for (size_t i = 0; i < found.count; i++)
            listed[ListedSlot(&own, found.files[i])] = true;
    }
    FreePackageFiles(&found);
    unsigned long long bytes = FileBytes(dir, kLicenceFile) + FileBytes(dir, kUninstallerFile);
    for (int slot = kFirstPackSlot; slot <= kLastPackSlot; slot++) {
        char name[32];
        if (listed[slot] && FormatPackSlot(slot, name, sizeof name))
            bytes += FileBytes(dir, name);
    }
    unsigned long long kb = (bytes + 1023) / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)kb;
}

LONG WriteEstimatedSize(DWORD kb)
{
    char path[128];
    FormatText(path, sizeof path, "%s\\%s", kUninstallParentKey, kUninstallSubkey);
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExA(key, "EstimatedSize", 0, REG_DWORD, (const BYTE *)&kb, sizeof kb);
    RegCloseKey(key);
    return result;
}
