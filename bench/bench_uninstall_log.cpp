// Times the uninstaller's whole removal (RemovePackage: read, check, remove, rewrite the log)
// on a hostile 16 MB install log of about 1.3 million lines: a package list numbered
// backwards, UNC lines and the package's own files recorded over and over. Prints the log's
// lines and bytes and the milliseconds taken.
#include "uninstall/uninstall.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static const char kDir[] = "C:\\BenchGame";

static bool Write(const std::string &path, const std::string &data)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

static std::string HostileLog(size_t size, size_t *lines)
{
    std::string log = "[ZV Packages]\r\n";
    std::string dir = kDir;
    *lines = 1;
    // 30% of the size as list entries numbered backwards, then the package's section.
    for (unsigned long n = 999999; log.size() < size * 3 / 10; n--, (*lines)++)
        log += std::to_string(n) + "=P\r\n";
    log += "[ZV-001 Strider for Quake3]\r\n";
    (*lines)++;
    const std::string unc = "9=\\\\h\\s\\x\r\n";
    const std::string own = "1=" + dir + "\\ZV-001.txt\r\n";
    const std::string pack = "2=" + dir + "\\baseq3\\PakZV01.pk3\r\n";
    for (unsigned i = 0;; i++, (*lines)++) {
        const std::string &line = i % 16 < 14 ? unc : i % 16 == 14 ? pack : own;
        if (log.size() + line.size() > size)
            break;
        log += line;
    }
    log += std::string(size - log.size(), ';');
    return log;
}

int main()
{
    size_t lines = 0;
    std::string log = HostileLog(16 * 1024 * 1024, &lines);
    CreateDirectoryA(kDir, NULL);
    CreateDirectoryA((std::string(kDir) + "\\baseq3").c_str(), NULL);
    if (!Write(std::string(kDir) + "\\ZVFiles.log", log) ||
        !Write(std::string(kDir) + "\\ZV-001.txt", "licence") ||
        !Write(std::string(kDir) + "\\baseq3\\PakZV01.pk3", "PK pack")) {
        fprintf(stderr, "cannot write the game directory\n");
        return 1;
    }
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    Report report;
    InitReport(&report);
    QueryPerformanceCounter(&start);
    RemovePackage(kDir, &report);
    QueryPerformanceCounter(&stop);
    char *text = ReportText(&report);
    bool removed =
        text && strstr(text, "Removed:\n") && strstr(text, "\nC:\\BenchGame\\ZV-001.txt\n");
    free(text);
    FreeReport(&report);
    printf("%u %u %.1f %s\n", (unsigned)lines, (unsigned)log.size(),
           (double)(stop.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart,
           removed ? "removed" : "NOT-REMOVED");
    return removed ? 0 : 1;
}
