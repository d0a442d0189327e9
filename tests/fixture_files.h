// Files and directories made, read and compared on disk the way a user's machine holds them.
#ifndef ZV_TESTS_FIXTURE_FILES_H
#define ZV_TESTS_FIXTURE_FILES_H

#include <windows.h>
#include <map>
#include <string>
#include <vector>

// Paths are absolute, or relative to the current directory. Making, writing, reading, comparing
// and clearing take absolute paths of any length (the wide, \\?\ interface is used underneath);
// the listings, snapshots, pending deletes and Linux-side helpers take MAX_PATH at most.
bool MakeDirectories(const std::string &path);
bool WriteBytes(const std::string &path, const std::string &data);
// Writes a file of size bytes whose content depends on seed.
bool WriteTestFile(const std::string &path, size_t size, int seed);
// The file's bytes; false when it cannot be read.
bool ReadWhole(const std::string &path, std::string *bytes);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string &path);
bool FileExists(const std::string &path);
// True when both files can be read and hold the same bytes.
bool SameFile(const std::string &a, const std::string &b);
// The non-blank lines of a file, line ends stripped.
std::vector<std::string> NonBlankLines(const std::string &path);
// The Linux path of a Windows path, through Wine's own conversion.
std::string UnixPath(const std::string &path);
// A symbolic link made from the Linux side, as a user of the machine would plant one; true
// once the link is there.
bool MakeUnixLink(const std::string &target, const std::string &link);
// Deletes everything below dir; dir itself stays.
void ClearDirectory(const std::string &dir);
// The names of dir's subdirectories in the order FindFirstFileA delivers them, without "." and
// "..": the order a walk must follow, whatever it is.
std::vector<std::string> ListedDirectories(const std::string &dir);
// The current directory without a trailing backslash.
std::string CurrentDir();
// The system's message text for an error code, as the programs word it.
std::string SystemText(DWORD code);

// Every file below a directory, by its path relative to it, with its contents.
typedef std::map<std::string, std::string> Tree;
Tree SnapshotTree(const std::string &dir);
// The files that differ between two snapshots, for a failure message.
std::string TreeDifference(const Tree &want, const Tree &got);
// Whether Windows will delete the file at its next start.
bool IsPendingDelete(const std::string &path);
// The paths Windows will delete at its next start that lie in dir or below it.
std::vector<std::string> PendingDeletesUnder(const std::string &dir);

#endif
