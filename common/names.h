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

// Told by either program when the other one, or a second copy, holds the game directory's
// lock; formatted with the game directory.
inline constexpr char kBusyCaption[] = "Installation Running";
inline constexpr char kBusyText[] = "An installation or an uninstall of the ZV-001 models is "
                                    "running in %s. Try again once it has finished.";

#endif
