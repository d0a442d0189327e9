// The names the installer and the uninstaller must agree on: the package, its files, the
// install log's sections and keys, and the uninstall entry. The installer's string table holds
// several of them too, and the installer shows and copies those from there; a test checks that
// both say the same.
#ifndef ZV_COMMON_NAMES_H
#define ZV_COMMON_NAMES_H

// The package list entry and the name of the package's own section in the log.
inline constexpr char kPackageName[] = "ZV-001 Strider for Quake3";
inline constexpr char kLicenceFile[] = "ZV-001.txt";
inline constexpr char kUninstallerFile[] = "zvuninst.exe";
inline constexpr char kPackFile[] = "PakZV01.pk3";
// The pack's target below the game directory, formatted with its slot.
inline constexpr char kPackSlotFormat[] = "baseq3\\PakZV%02i.pk3";
inline constexpr int kFirstPackSlot = 1;
inline constexpr int kLastPackSlot = 99;

inline constexpr char kLogFile[] = "ZVFiles.log";
inline constexpr char kPackageListSection[] = "ZV Packages";
inline constexpr char kPackageCountKey[] = "NumberInstalled";
inline constexpr char kFileCountKey[] = "Files";

inline constexpr char kUninstallParentKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallSubkey[] = "ZVQ3Models";
inline constexpr char kUninstallDisplayName[] = "ZV Models for Quake3";

// The temporary names the files are written under before they are renamed into place, names
// the game never loads; where something else stands at one, the same name with a digit for its
// last character. A program killed meanwhile leaves them, and the uninstaller removes them.
// The pack's is in baseq3 (only *.pk3 files are packs) and shorter than every slot's name: a
// pack that fits a slot's path fits there first.
inline constexpr char kPackTemporary[] = "baseq3\\PakZV.tmp";
inline constexpr char kLicenceTemporary[] = "ZV-001.tx~";
inline constexpr char kUninstallerTemporary[] = "zvuninst.ex~";
inline constexpr char kLogTemporary[] = "ZVFiles.lo~";

// The installer copies over a file under its name with '~' for the last character.
constexpr bool IsTildeName(const char *name, const char *temporary)
{
    while (name[0] && name[1] && *name == *temporary)
        name++, temporary++;
    return name[0] && !name[1] && temporary[0] == '~' && !temporary[1];
}
static_assert(IsTildeName(kLicenceFile, kLicenceTemporary) &&
                  IsTildeName(kUninstallerFile, kUninstallerTemporary) &&
                  IsTildeName(kLogFile, kLogTemporary),
              "each temporary name is its file's with '~' last");

// Told by either program when the other one, or a second copy, holds the game directory's
// lock; formatted with the game directory.
inline constexpr char kBusyCaption[] = "Installation Running";
inline constexpr char kBusyText[] = "An installation or an uninstall of the ZV-001 models is "
                                    "running in %s. Try again once it has finished.";

#endif
