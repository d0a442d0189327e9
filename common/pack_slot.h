// The pack slots baseq3\PakZV01.pk3 to PakZV99.pk3: the installer names the slot it fills and
// the uninstaller reads a recorded name back by the same rule. Free of any window or file
// system call.
#ifndef ZV_COMMON_PACK_SLOT_H
#define ZV_COMMON_PACK_SLOT_H

#include <stddef.h>

// The slot's name relative to the game directory ("baseq3\PakZV07.pk3"); false when the slot
// is outside 1 to 99 or the buffer is too small.
bool FormatPackSlot(int slot, char *buffer, size_t size);
// The slot a relative name stands for, letter case aside, or 0 for any other name. Only the
// exact spelling FormatPackSlot gives counts: two digits, 01 to 99.
int PackSlotOf(const char *name);

#endif
