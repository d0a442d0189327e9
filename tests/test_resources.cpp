// The built ZVSetup.exe against the resource catalogue: read back from the executable as the
// system sees it, every dialog control, the bitmaps, the string blocks, and the PE image; and
// zvuninst.exe's icon and version block. Both manifests ask for administrator rights and name
// every Windows from Vista on.
#include "check.h"
#include "resources/resource.h"
#include "zv_version.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <set>
#include <string>
#include <vector>

static const char *kSetup = "ZVSetup.exe";

struct Item {
    std::string cls, text;
    int id;
    short x, y, cx, cy;
    DWORD style;
};

static const WORD *ReadNameOrOrdinal(const WORD *p, std::string *out)
{
    if (*p == 0) {
        *out = "";
        return p + 1;
    }
    if (*p == 0xFFFF) {
        *out = "#" + std::to_string(p[1]);
        return p + 2;
    }
    char text[1024];
    WideCharToMultiByte(CP_ACP, 0, (const WCHAR *)p, -1, text, sizeof text, NULL, NULL);
    *out = text;
    return p + lstrlenW((const WCHAR *)p) + 1;
}

static std::string ClassName(const std::string &raw)
{
    if (raw == "#128")
        return "BUTTON";
    if (raw == "#129")
        return "EDIT";
    if (raw == "#130")
        return "STATIC";
    std::string upper = raw;
    for (char &c : upper)
        c = (char)toupper((unsigned char)c);
    return upper;
}

struct Dialog {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, cls, caption, font;
    WORD pointSize = 0;
    std::vector<Item> items;
};

static bool ParseDialog(HMODULE module, int number, Dialog *d)
{
    HRSRC info = FindResourceExA(module, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(number),
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    if (!info)
        return false;
    const BYTE *base = (const BYTE *)LockResource(LoadResource(module, info));
    const DLGTEMPLATE *t = (const DLGTEMPLATE *)base;
    if (!t || HIWORD(t->style) == 0xFFFF) // an extended template is not what is catalogued
        return false;
    d->style = t->style;
    d->exStyle = t->dwExtendedStyle;
    d->x = t->x;
    d->y = t->y;
    d->cx = t->cx;
    d->cy = t->cy;
    const WORD *p = (const WORD *)(t + 1);
    p = ReadNameOrOrdinal(p, &d->menu);
    p = ReadNameOrOrdinal(p, &d->cls);
    p = ReadNameOrOrdinal(p, &d->caption);
    if (t->style & DS_SETFONT) {
        d->pointSize = *p++;
        p = ReadNameOrOrdinal(p, &d->font);
    }
    for (int i = 0; i < t->cdit; i++) {
        p = (const WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        const DLGITEMTEMPLATE *it = (const DLGITEMTEMPLATE *)p;
        Item item;
        item.style = it->style;
        item.x = it->x;
        item.y = it->y;
        item.cx = it->cx;
        item.cy = it->cy;
        item.id = it->id;
        p = (const WORD *)(it + 1);
        std::string cls;
        p = ReadNameOrOrdinal(p, &cls);
        item.cls = ClassName(cls);
        p = ReadNameOrOrdinal(p, &item.text);
        p = (const WORD *)((const BYTE *)(p + 1) + *p);
        CHECK(it->dwExtendedStyle == 0, "dialog %d control %d has an extended style", number, i);
        d->items.push_back(item);
    }
    return true;
}

static const DWORD kChild = WS_CHILD | WS_VISIBLE;
static const DWORD kPicture = kChild | SS_BITMAP | SS_REALSIZEIMAGE;
static const DWORD kCentreGroup = kChild | SS_CENTER | WS_GROUP;
static const char *kTitle = "ZV Developments Add-on Models for Quake3:Arena";

static std::vector<Item> Panel(short y)
{
    return {{"STATIC", "", 0xFFFF, 89, y, 145, 43, kChild | SS_BLACKRECT | SS_SUNKEN},
            {"STATIC", "#108", 0xFFFF, 95, (short)(y + 2), 43, 39, kPicture},
            {"STATIC", "#105", 0xFFFF, 140, (short)(y + 2), 43, 39, kPicture},
            {"STATIC", "#106", 0xFFFF, 185, (short)(y + 2), 43, 39, kPicture}};
}

static const Item kLogo = {"STATIC", "#102", 0xFFFF, 7, 7, 44, 41, kPicture | SS_SUNKEN};
static const Item kTitleLine = {"STATIC", kTitle, 1001, 54, 7, 263, 12, kCentreGroup};
static const Item kHeaderLine = {"STATIC", "<Models>", 1003, 54, 21, 263, 27, kCentreGroup};

static std::vector<Item> Expected(int number)
{
    std::vector<Item> items = Panel(number == IDD_PROGRESS ? 152 : 154);
    const Item ok = {"BUTTON", number == IDD_INFO ? "&Continue" : "&Install", 1, 197, 202, 58,
                     14,       kChild | BS_DEFPUSHBUTTON | WS_TABSTOP};
    const Item exit = {"BUTTON", "&Exit", 2, 69, 202, 58, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP};
    if (number == IDD_INFO) {
        items.insert(items.end(), {ok,
                                   exit,
                                   kLogo,
                                   kTitleLine,
                                   kHeaderLine,
                                   {"STATIC", "<MSG>", 1002, 7, 54, 310, 98, kCentreGroup}});
    } else if (number == IDD_DETAILS) {
        items.insert(
            items.end(),
            {{"BUTTON", "Installation Details ", 0xFFFF, 7, 56, 310, 56, kChild | BS_GROUPBOX},
             {"STATIC", "Quake3: Arena Directory:", 0xFFFF, 13, 75, 84, 9,
              kChild | SS_LEFT | WS_GROUP},
             {"EDIT", "", 1004, 97, 73, 213, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
             ok,
             exit,
             kLogo,
             kTitleLine,
             kHeaderLine,
             {"BUTTON", "&Search", 1005, 203, 87, 52, 12, kChild | BS_PUSHBUTTON | WS_TABSTOP},
             {"BUTTON", "&Browse", 1006, 258, 87, 52, 12, kChild | BS_PUSHBUTTON | WS_TABSTOP},
             {"STATIC",
              "No existing files will be modified.\nTo use one of the new player models, you "
              "must select it in the Quake3 Player Setup screen.\nClick on \"Install\" to start "
              "the installation.",
              0xFFFF, 7, 119, 310, 30, kCentreGroup}});
    } else {
        items.insert(items.end(), {{"BUTTON", "Installation Progress ", 0xFFFF, 7, 56, 310, 56,
                                    kChild | BS_GROUPBOX},
                                   kLogo,
                                   kTitleLine,
                                   kHeaderLine,
                                   {"STATIC", "", 1008, 7, 119, 310, 30, kCentreGroup},
                                   {"STATIC", "", 1010, 17, 75, 288, 15, kChild | SS_ETCHEDFRAME},
                                   {"STATIC", "", 1009, 19, 77, 284, 11, kChild | SS_BLACKRECT},
                                   {"STATIC", "10%", 1011, 18, 92, 287, 12,
                                    kChild | SS_CENTER | SS_CENTERIMAGE | WS_GROUP}});
    }
    return items;
}

static void TestDialog(HMODULE module, int number)
{
    Dialog d;
    if (!CHECK(ParseDialog(module, number, &d), "dialog %d missing or extended", number))
        return;
    DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    if (number == IDD_INFO)
        style |= WS_VISIBLE;
    CHECK(d.style == style, "dialog %d style %08lx, want %08lx", number, d.style, style);
    CHECK(!(d.style & WS_SYSMENU), "dialog %d has a close box", number);
    CHECK(d.exStyle == 0, "dialog %d extended style %08lx", number, d.exStyle);
    CHECK(d.cx == 324 && d.cy == (number == IDD_PROGRESS ? 202 : 223), "dialog %d is %dx%d", number,
          d.cx, d.cy);
    CHECK(d.menu.empty() && d.cls.empty(), "dialog %d has a menu or class", number);
    CHECK_TEXT(d.caption, "ZV Developments Model Installation");
    CHECK(d.pointSize == 8, "dialog %d font size %d", number, d.pointSize);
    CHECK_TEXT(d.font, "MS Sans Serif");
    std::vector<Item> want = Expected(number);
    if (!CHECK(d.items.size() == want.size(), "dialog %d has %u controls, want %u", number,
               (unsigned)d.items.size(), (unsigned)want.size()))
        return;
    for (size_t i = 0; i < want.size(); i++) {
        const Item &g = d.items[i], &w = want[i];
        CHECK(g.cls == w.cls && g.text == w.text && g.id == w.id,
              "dialog %d control %u: %s \"%s\" id %d, want %s \"%s\" id %d", number,
              (unsigned)i + 1, g.cls.c_str(), g.text.c_str(), g.id, w.cls.c_str(), w.text.c_str(),
              w.id);
        CHECK(g.x == w.x && g.y == w.y && g.cx == w.cx && g.cy == w.cy,
              "dialog %d control %u at %d,%d,%d,%d, want %d,%d,%d,%d", number, (unsigned)i + 1, g.x,
              g.y, g.cx, g.cy, w.x, w.y, w.cx, w.cy);
        CHECK(g.style == w.style, "dialog %d control %u style %08lx, want %08lx", number,
              (unsigned)i + 1, g.style, w.style);
    }
}

static void TestBitmaps(HMODULE module)
{
    for (int number : {IDB_LOGO, IDB_PICTURE2, IDB_PICTURE3, IDB_PICTURE1}) {
        HRSRC info = FindResourceExA(module, (LPCSTR)RT_BITMAP, MAKEINTRESOURCEA(number),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
        if (!CHECK(info != NULL, "bitmap %d missing", number))
            continue;
        CHECK(SizeofResource(module, info) == 5160, "bitmap %d has %lu bytes", number,
              SizeofResource(module, info));
        const BITMAPINFOHEADER *h =
            (const BITMAPINFOHEADER *)LockResource(LoadResource(module, info));
        CHECK(h->biSize == 40 && h->biWidth == 64 && h->biHeight == 64 && h->biPlanes == 1,
              "bitmap %d is %ldx%ld (%lu-byte header)", number, h->biWidth, h->biHeight, h->biSize);
        CHECK(h->biBitCount == 8 && h->biCompression == BI_RGB &&
                  (h->biClrUsed == 256 || h->biClrUsed == 0),
              "bitmap %d: %d bits, compression %lu, %lu colours", number, h->biBitCount,
              h->biCompression, h->biClrUsed);
        // A deliberate picture uses many colours, not one flat fill.
        const BYTE *pixels = (const BYTE *)(h + 1) + 1024;
        std::set<BYTE> used(pixels, pixels + 4096);
        CHECK(used.size() >= 16, "bitmap %d uses only %u colours", number, (unsigned)used.size());
    }
}

static BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    ((std::set<WORD> *)param)->insert(language);
    return TRUE;
}

static BOOL CALLBACK CollectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param)
{
    auto *names = (std::set<std::pair<int, int>> *)param;
    CHECK(IS_INTRESOURCE(name), "a resource named by a string");
    names->insert({(int)(ULONG_PTR)type, (int)(ULONG_PTR)name});
    std::set<WORD> languages;
    EnumResourceLanguagesA(module, type, name, CollectLanguage, (LONG_PTR)&languages);
    CHECK(languages.size() == 1 && *languages.begin() == 0x0809,
          "resource %d/%d has %u languages, first %04x", (int)(ULONG_PTR)type, (int)(ULONG_PTR)name,
          (unsigned)languages.size(), languages.empty() ? 0 : *languages.begin());
    return TRUE;
}

static BOOL CALLBACK CollectType(HMODULE module, LPSTR type, LONG_PTR param)
{
    CHECK(IS_INTRESOURCE(type), "a resource type named by a string");
    if (IS_INTRESOURCE(type))
        EnumResourceNamesA(module, type, CollectName, param);
    return TRUE;
}

static std::string Resource(HMODULE module, LPCSTR type, int number)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(number), type);
    HGLOBAL loaded = info ? LoadResource(module, info) : NULL;
    return loaded ? std::string((const char *)LockResource(loaded), SizeofResource(module, info))
                  : "";
}

// Windows elevates the program, so that its files and its uninstall entry never go to the
// user's virtual store, and gives it today's behaviour on every Windows from Vista to 11; no
// DPI awareness, so that Windows scales the pixel-sized pages.
static void CheckManifest(HMODULE module, const char *name)
{
    static const char *const systems[] = {
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
    std::string manifest = Resource(module, (LPCSTR)RT_MANIFEST, 1);
    CHECK(manifest.find("level=\"requireAdministrator\"") != std::string::npos,
          "%s: the manifest does not ask for administrator rights", name);
    for (const char *id : systems)
        CHECK(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>") != std::string::npos,
              "%s: the manifest does not name %s", name, id);
    CHECK(manifest.find("dpiAware") == std::string::npos, "%s: the manifest claims DPI awareness",
          name);
}

static void TestInventory(HMODULE module)
{
    std::set<std::pair<int, int>> names;
    EnumResourceTypesA(module, CollectType, (LONG_PTR)&names);
    std::set<std::pair<int, int>> want = {
        {5, 101}, {5, 103}, {5, 104}, {2, 102}, {2, 105}, {2, 106},
        {2, 108}, {6, 1},   {6, 4},   {6, 7},   {6, 10}, // string blocks hold 16 numbers each
        {24, 1}};                                        // the manifest
    CHECK(names == want, "the executable holds %u resources, want %u", (unsigned)names.size(),
          (unsigned)want.size());
    CheckManifest(module, kSetup);
    int strings = 0;
    for (UINT n = 0; n < 200; n++) {
        char text[8];
        if (LoadStringA(module, n, text, sizeof text) > 0)
            strings++;
    }
    CHECK(strings == 15, "the string table holds %d entries", strings);
}

static void TestImage()
{
    FILE *f = fopen(kSetup, "rb");
    if (!CHECK(f != NULL, "cannot read %s", kSetup))
        return;
    std::vector<BYTE> file;
    BYTE chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        file.insert(file.end(), chunk, chunk + n);
    fclose(f);
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)file.data();
    const IMAGE_NT_HEADERS32 *nt = (const IMAGE_NT_HEADERS32 *)(file.data() + dos->e_lfanew);
    CHECK(nt->FileHeader.Machine == IMAGE_FILE_MACHINE_I386, "machine %04x",
          nt->FileHeader.Machine);
    CHECK(nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC, "not PE32");
    CHECK(nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "subsystem %d",
          nt->OptionalHeader.Subsystem);

    HMODULE image = LoadLibraryExA(kSetup, NULL, DONT_RESOLVE_DLL_REFERENCES);
    if (!CHECK(image != NULL, "cannot map %s", kSetup))
        return;
    const BYTE *base = (const BYTE *)image;
    const IMAGE_NT_HEADERS32 *mapped =
        (const IMAGE_NT_HEADERS32 *)(base + ((const IMAGE_DOS_HEADER *)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir =
        mapped->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    // System libraries only; imm32 turns the input method off for the threads that take no
    // text.
    std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll",
                                     "advapi32.dll", "msvcrt.dll", "imm32.dll"};
    int dlls = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR *d =
             (const IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress);
         dir.VirtualAddress && d->Name; d++) {
        std::string name = (const char *)(base + d->Name);
        for (char &c : name)
            c = (char)tolower((unsigned char)c);
        CHECK(allowed.count(name) == 1, "imports %s", name.c_str());
        dlls++;
    }
    CHECK(dlls >= 3, "imports only %d DLLs", dlls);
    FreeLibrary(image);
}

// The uninstaller's icon holds the logo at 16, 32 and 48 pixels, and its version block the
// release's version, which the installer also writes into the uninstall entry.
static void TestUninstaller()
{
    static const char kUninstaller[] = "zvuninst.exe";
    HMODULE module = LoadLibraryExA(kUninstaller, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!CHECK(module != NULL, "cannot load %s: %lu", kUninstaller, GetLastError()))
        return;
    CheckManifest(module, kUninstaller);
    std::string group = Resource(module, (LPCSTR)RT_GROUP_ICON, 1);
    std::set<int> sizes;
    const size_t kEntry = 14; // GRPICONDIRENTRY
    for (size_t at = 6; group.size() >= 6 && at + kEntry <= group.size(); at += kEntry) {
        int width = (BYTE)group[at], height = (BYTE)group[at + 1];
        WORD bits = *(const WORD *)(group.data() + at + 6);
        CHECK(width == height && bits == 32, "an icon of %d x %d, %u bits", width, height, bits);
        sizes.insert(width);
    }
    CHECK(sizes == std::set<int>({16, 32, 48}), "the icon holds %u sizes", (unsigned)sizes.size());
    for (int size : {16, 32, 48}) {
        HICON icon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0);
        CHECK(icon != NULL, "no %d pixel icon", size);
        if (icon)
            DestroyIcon(icon);
    }
    FreeLibrary(module);

    DWORD handle = 0, size = GetFileVersionInfoSizeA(kUninstaller, &handle);
    std::vector<char> block(size ? size : 1);
    if (!CHECK(size && GetFileVersionInfoA(kUninstaller, 0, size, block.data()),
               "no version block"))
        return;
    const std::pair<const char *, std::string> values[] = {
        {"CompanyName", "ZV Developments"},
        {"FileDescription", "ZV-001 Strider uninstaller"},
        {"FileVersion", ZV_VERSION},
        {"ProductName", "ZV Models for Quake3"},
        {"ProductVersion", ZV_VERSION},
        {"LegalCopyright", "Copyright (C) 1999 ZV Developments"},
        {"OriginalFilename", "zvuninst.exe"}};
    for (const auto &value : values) {
        char *text = NULL;
        UINT length = 0;
        std::string query = std::string("\\StringFileInfo\\080904B0\\") + value.first;
        bool found = VerQueryValueA(block.data(), query.c_str(), (void **)&text, &length);
        CHECK_TEXT(found && text ? std::string(text) : std::string("(none)"), value.second);
    }
    const WORD numbers[] = {ZV_VERSION_NUMBERS};
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    CHECK(VerQueryValueA(block.data(), "\\", (void **)&fixed, &length) && fixed &&
              fixed->dwFileVersionMS == (DWORD)MAKELONG(numbers[1], numbers[0]) &&
              fixed->dwFileVersionLS == (DWORD)MAKELONG(numbers[3], numbers[2]) &&
              fixed->dwProductVersionMS == fixed->dwFileVersionMS,
          "the version numbers are not those of %s", ZV_VERSION);
}

int main()
{
    HMODULE module = LoadLibraryExA(kSetup, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!CHECK(module != NULL, "cannot load %s: %lu", kSetup, GetLastError()))
        return CheckDone();
    TestDialog(module, IDD_INFO);
    TestDialog(module, IDD_DETAILS);
    TestDialog(module, IDD_PROGRESS);
    TestBitmaps(module);
    TestInventory(module);
    FreeLibrary(module);
    TestImage();
    TestUninstaller();
    return CheckDone();
}
