// The code pages text crosses the process's boundary in. Under a manifest that asks for UTF-8,
// GetACP and GetOEMCP answer 65001 in this process, while files other programs wrote and the
// command interpreter keep the system's code pages: convert there, naming the other side's.
#pragma once

#include <windows.h>

// The code page of this process's narrow text: UTF-8 under the manifest, else the system's.
UINT ProcessCodePage();
// The system locale's ANSI code page (65001 on a Windows set to use UTF-8 for every program).
UINT SystemAnsiCodePage();
// The system locale's ANSI code page before any UTF-8 setting: what older programs wrote in.
UINT SystemLegacyAnsiCodePage();
// The code page the command interpreter reads a batch file in.
UINT SystemOemCodePage();
// True when the process's text is UTF-8.
inline bool IsUtf8Process() { return ProcessCodePage() == CP_UTF8; }

// Converts length bytes of text (-1: up to its terminator) from code page `from` to code page
// `to` into out (size bytes), terminated. Fails (-1, out empty) when the text is not valid in
// `from`, when a character has no exact form in `to` (no best-fit substitute: "O" for "Ö" would
// name another file), or when the result does not fit. Returns the bytes written, terminator
// not counted.
int ConvertText(UINT from, const char *text, int length, UINT to, char *out, int size);
// As ConvertText, from UTF-16 text (length characters, -1: up to its terminator).
int ConvertWideText(const WCHAR *text, int length, UINT to, char *out, int size);
// Converts length bytes of text (-1: up to its terminator) from code page `from` to UTF-16 in
// out (size characters), terminated: as the A calls read it. Fails (-1, out empty) when the
// text is not valid in `from` or the result does not fit. Returns the characters written,
// terminator not counted.
int ConvertToWide(UINT from, const char *text, int length, WCHAR *out, int size);
