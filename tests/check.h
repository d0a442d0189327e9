// Test checks: each CHECK counts a pass or prints a failure with file and line; CheckDone
// prints the closing tally and gives main its exit code. Every line also goes to the file
// named by ZV_RESULT, since a program inside a Wine virtual desktop may have no stdout.
#ifndef ZV_TESTS_CHECK_H
#define ZV_TESTS_CHECK_H

#include <string>

#define CHECK(cond, ...) CheckAt(__FILE__, __LINE__, (cond) ? true : false, #cond, __VA_ARGS__)
// For helpers: the check is counted at the file and line their caller gave them.
#define CHECK_AT(file, line, cond, ...)                                                            \
    CheckAt((file), (line), (cond) ? true : false, #cond, __VA_ARGS__)

bool CheckAt(const char *file, int line, bool ok, const char *expr, const char *fmt, ...)
    __attribute__((format(printf, 5, 6)));
void TestLog(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// For a case that cannot set up what it needs: says why, counted apart from passes and failures.
#define SKIP_AT(file, line, ...) SkipAt((file), (line), __VA_ARGS__)
void SkipAt(const char *file, int line, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
// The closing tally, "N passed, M failed" with ", K skipped" after it when a case skipped.
int CheckDone();

// Compares two texts and names both in the failure.
#define CHECK_TEXT(got, want) CheckTextAt(__FILE__, __LINE__, (got), (want), #got)
#define CHECK_TEXT_AT(file, line, got, want) CheckTextAt((file), (line), (got), (want), #got)
bool CheckTextAt(const char *file, int line, const std::string &got, const std::string &want,
                 const char *expr);

#endif
