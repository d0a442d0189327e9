// The test that decides whether a directory is the game's: quake3.exe can be opened in it.
#ifndef ZV_GAMEDIR_GAME_DIR_H
#define ZV_GAMEDIR_GAME_DIR_H

// True when quake3.exe in the directory opens for reading. The path may be absolute or
// relative to the current directory, with or without a trailing backslash; empty is false.
bool IsGameDirectory(const char *path);

#endif
