// Any recorded value and any game directory, read in each code page the uninstaller may meet.
// A value is accepted as one of the package's files only when, normalised, it is exactly the
// normalised directory joined with that file's name (letter case of A to Z aside), and every
// such value within the length limits is accepted. A normalised path is never longer than
// the path it came from, and normalising it again changes nothing.
#include "fuzz_check.h"
#include "common/lead_byte.h"
#include "common/pack_slot.h"
#include "common/path.h"
#include "common/text.h"
#include "package_decision.h"
#include "uninstall/package_path.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static const unsigned kCodePages[] = {932, 936, 949, 950, 1252};

// Where the character after the one at at starts.
static size_t Step(const std::string &text, size_t at, unsigned codePage)
{
    return at + (at + 1 < text.size() && IsLeadByte(codePage, (unsigned char)text[at]) ? 2 : 1);
}

static char Fold(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

// The path read as characters is the directory's characters, a separator unless the
// directory is a root, and the name's.
static bool IsJoined(const std::string &path, const std::string &dir, const char *name,
                     unsigned codePage)
{
    // A root ends in a separator of its own; a last character whose second byte is 0x5C
    // does not.
    bool root = false;
    for (size_t at = 0; at < dir.size(); at = Step(dir, at, codePage))
        root = dir[at] == '\\';
    std::string joined = dir;
    if (!root)
        joined += '\\';
    joined += name;
    if (path.size() != joined.size())
        return false;
    size_t at = 0;
    bool boundary = false;
    while (at < path.size()) {
        if (at == dir.size())
            boundary = true;
        size_t next = Step(path, at, codePage);
        if (next - at == 2) {
            if (path.compare(at, 2, joined, at, 2) != 0)
                return false;
        } else if (Fold(path[at]) != Fold(joined[at])) {
            return false;
        }
        at = next;
    }
    return boundary;
}

// Normalises a copy of exactly the text's size; false when NormalisePath refuses it.
static bool Normalised(const std::string &text, unsigned codePage, std::string *out)
{
    char *path = (char *)malloc(text.size() + 1);
    memcpy(path, text.c_str(), text.size() + 1);
    bool ok = NormalisePath(path, codePage);
    *out = path;
    free(path);
    if (!ok)
        return false;
    REQUIRE(out->size() <= text.size());
    REQUIRE(IsAbsolutePath(out->c_str()));
    // Past the root ("X:\" or "\\server\share\"): no "/", and no empty, "." or ".." part,
    // read by character.
    size_t root = 3;
    if ((*out)[0] == '\\') {
        int separators = 0;
        for (root = 0; root < out->size() && separators < 4; root = Step(*out, root, codePage))
            separators += (*out)[root] == '\\';
    }
    std::string part;
    for (size_t at = root; at <= out->size(); at = Step(*out, at, codePage)) {
        if (at == out->size() || (*out)[at] == '\\') {
            REQUIRE(part != "." && part != "..");
            REQUIRE(!part.empty() || at == root);
            part.clear();
            if (at == out->size())
                break;
            continue;
        }
        REQUIRE((*out)[at] != '/');
        part += (*out)[at];
    }
    char *copy = (char *)malloc(out->size() + 1);
    memcpy(copy, out->c_str(), out->size() + 1);
    REQUIRE(NormalisePath(copy, codePage));
    REQUIRE(strcmp(copy, out->c_str()) == 0);
    free(copy);
    return true;
}

// What the uninstaller's decision must answer, found the long way: every file's joined name tried.
static int ExpectedFile(const std::string &dir, const std::string &path, unsigned codePage)
{
    if (dir.size() + 1 >= kDirLimit || path.size() >= kValueLimit)
        return -1;
    std::string base = dir, full;
    bool drive = dir.size() == 2 && dir[1] == ':' &&
                 ((dir[0] >= 'A' && dir[0] <= 'Z') || (dir[0] >= 'a' && dir[0] <= 'z'));
    if (drive)
        base += '\\';
    std::string normalBase;
    if (!Normalised(base, codePage, &normalBase) || !Normalised(path, codePage, &full))
        return -1;
    int match = -1;
    for (int file = 0; file < kPackageFileCount; file++) {
        char name[32];
        REQUIRE(PackageFileName(file, name, sizeof name));
        if (IsJoined(full, normalBase, name, codePage)) {
            REQUIRE(match < 0);
            match = file;
        }
    }
    return match;
}

static void CheckNames(const std::string &name)
{
    int slot = PackSlotOf(name.c_str());
    int want = 0;
    for (int k = kFirstPackSlot; k <= kLastPackSlot; k++) {
        char formatted[32];
        REQUIRE(FormatPackSlot(k, formatted, sizeof formatted));
        if (EqualAsciiText(formatted, name.c_str()))
            want = k;
    }
    REQUIRE(slot == want);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The directory, a zero byte, then the recorded value; without a zero byte the value
    // alone, in the directory the tests use.
    std::string input((const char *)data, size);
    size_t zero = input.find('\0');
    std::string dir = zero == std::string::npos ? "C:\\Games\\Quake3" : input.substr(0, zero);
    std::string path = zero == std::string::npos ? input : input.substr(zero + 1);
    path = path.substr(0, path.find('\0'));
    CheckNames(path);
    for (unsigned codePage : kCodePages) {
        int file = PackageFileIn(dir.c_str(), path.c_str(), codePage);
        REQUIRE(file >= -1 && file < kPackageFileCount);
        REQUIRE(file == ExpectedFile(dir, path, codePage));
        REQUIRE(SamePathText(dir.c_str(), path.c_str(), codePage) ==
                SamePathText(path.c_str(), dir.c_str(), codePage));
    }
    return 0;
}
