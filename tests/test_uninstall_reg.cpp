// The uninstall entry written by RegisterUninstaller, read back value by value.
#include "check.h"
#include "fixture_uninstall.h"
#include "install/uninstall_reg.h"

#include <winternl.h>
#include <string>
#include <vector>

static void TestEntry()
{
    static const struct {
        const char *dir, *path;
        DWORD kb;
    } cases[] = {
        {"C:\\Program Files\\Quake III Arena", "C:\\Program Files\\Quake III Arena\\zvuninst.exe",
         1501},
        // The next installation rewrites the entry, its size too; a root keeps its separator.
        {"D:\\Games\\Quake3", "D:\\Games\\Quake3\\zvuninst.exe", 9},
        {"G:\\", "G:\\zvuninst.exe", 0},
    };
    for (const auto &c : cases) {
        LONG result = RegisterUninstaller(kUninstallSubkey, kUninstallDisplayName, c.path, c.kb);
        CHECK(result == ERROR_SUCCESS, "RegisterUninstaller gave %ld", result);
        CHECK_UNINSTALL_VALUE("DisplayName", kUninstallDisplayName);
        // Quoted, so that a blank in the path does not split the command.
        CHECK_UNINSTALL_VALUE("UninstallString", std::string("\"") + c.path + "\"");
        CHECK_UNINSTALL_DETAILS(c.path, c.dir, c.kb);
    }
}

static void TestOtherValuesKept()
{
    HKEY key;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), &key);
    RegSetValueExA(key, "Publisher", 0, REG_SZ, (const BYTE *)"ZV Developments", 16);
    RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE *)"Old name", 9);
    RegCloseKey(key);
    RegisterUninstaller(kUninstallSubkey, kUninstallDisplayName, "C:\\Quake3\\zvuninst.exe", 1);
    CHECK_UNINSTALL_VALUE("Publisher", "ZV Developments");
    CHECK_UNINSTALL_VALUE("DisplayName", kUninstallDisplayName);
}

// Handles the process holds, registry keys among them, from the system's handle list
// (GetProcessHandleCount is a stub under Wine).
static long OpenHandles()
{
    struct Entry {
        ULONG process;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    typedef NTSTATUS(NTAPI * QueryFunction)(ULONG, PVOID, ULONG, PULONG);
    QueryFunction query = (QueryFunction)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                                "NtQuerySystemInformation");
    std::vector<char> buffer(1 << 22);
    ULONG length = 0;
    const ULONG kSystemHandleInformation = 16;
    if (!query || query(kSystemHandleInformation, buffer.data(), (ULONG)buffer.size(), &length))
        return -1;
    ULONG count = *(ULONG *)buffer.data();
    const Entry *entries = (const Entry *)(buffer.data() + sizeof(ULONG_PTR));
    long own = 0;
    for (ULONG i = 0; i < count; i++)
        if (entries[i].process == GetCurrentProcessId())
            own++;
    return own;
}

// A subkey that cannot be created gives its error code, writes nothing and leaks no key.
static void TestRefusedSubkey()
{
    std::string tooLong(300, 'k');
    long before = OpenHandles();
    LONG result = ERROR_SUCCESS;
    for (int i = 0; i < 50; i++)
        result = RegisterUninstaller(tooLong.c_str(), kUninstallDisplayName, "C:\\zvuninst.exe", 1);
    long after = OpenHandles();
    CHECK(result != ERROR_SUCCESS, "an over-long subkey name was accepted");
    CHECK(before > 0 && after == before, "handles went from %ld to %ld", before, after);
    HKEY parent;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                  KEY_READ, &parent);
    CHECK(RegQueryValueExA(parent, "UninstallString", NULL, NULL, NULL, NULL) != ERROR_SUCCESS,
          "a value was written into the parent key");
    RegCloseKey(parent);
    // The successful path releases both keys too.
    before = OpenHandles();
    for (int i = 0; i < 50; i++)
        RegisterUninstaller(kUninstallSubkey, kUninstallDisplayName, "C:\\zvuninst.exe", 1);
    after = OpenHandles();
    CHECK(before > 0 && after == before, "handles went from %ld to %ld", before, after);
}

int main()
{
    if (!CHECK(DeleteUninstallEntry(), "the uninstall key cannot be removed"))
        return CheckDone();
    TestEntry();
    TestOtherValuesKept();
    TestRefusedSubkey();
    CHECK(DeleteUninstallEntry(), "the uninstall key was left behind");
    return CheckDone();
}
