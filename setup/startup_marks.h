// Start-up marks for the benchmarks: the time since the process began at each step of the
// start-up. Only a build configured with ZV_STARTUP_MARKS=ON records them; in any other the
// calls vanish, so the release program is the same with or without this file.
#ifndef ZV_SETUP_STARTUP_MARKS_H
#define ZV_SETUP_STARTUP_MARKS_H

#ifdef ZV_STARTUP_MARKS
// Records the step; safe from any thread. The first mark of each step counts.
void MarkStartup(const char *step);
// Records the last step and appends one line with every mark to startup_marks.txt in the
// current directory.
void EndStartupMarks(const char *step);
#else
#define MarkStartup(step) ((void)0)
#define EndStartupMarks(step) ((void)0)
#endif

#endif
