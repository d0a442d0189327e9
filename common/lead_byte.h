// The one question the path rules ask of the platform: does a byte start a double-byte
// character in a code page. The programs ask the system; the native fuzz build answers from
// tables of its own (tests/fuzz/lead_byte_table.cpp), so the path rules need no windows.h.
#ifndef ZV_COMMON_LEAD_BYTE_H
#define ZV_COMMON_LEAD_BYTE_H

// The code page the ANSI calls use (CP_ACP).
const unsigned kAnsiCodePage = 0;

// True when byte is a lead byte in codePage; false for every byte of a single-byte code page
// and of a code page the system does not know.
#ifdef _WIN32
// The system's call itself, declared as kernel32 exports it, so that the programs call it as
// directly as before.
extern "C" __declspec(dllimport) int __stdcall IsDBCSLeadByteEx(unsigned codePage,
                                                                unsigned char byte);
inline bool IsLeadByte(unsigned codePage, unsigned char byte)
{
    return IsDBCSLeadByteEx(codePage, byte) != 0;
}
#else
bool IsLeadByte(unsigned codePage, unsigned char byte);
#endif

#endif
