// Explorer's "New" menu entries for ".qbx" and ".zip": empty archives as templates.
#pragma once

#include <windows.h>

struct ArchiveBytes {
    const unsigned char *data;
    DWORD count;
};
// An empty archive of the program's own format (isQbx) or of zip. Made at run time, so that
// this program's file never carries either signature in full.
ArchiveBytes EmptyArchiveBytes(bool isQbx);

// Keeps the extension's current new-file entry in one value, "ShellNew" of the key settings in
// setup's record (a root of setup_record.h), as earlier versions read it: its "FileName" whole,
// else "*" for a "NullFile" entry, else "".
void SaveNewFileEntry(const char *ext, HKEY record, const char *settings);
// Copies every value of the extension's new-file key whole, with its type and bytes, into the
// record's key "Setup\" + ext + "\ShellNew", replacing an earlier copy. No copy is made
// when the extension has no new-file key.
void SaveNewFileValues(const char *ext, HKEY record);
// Registers the empty archive as the extension's template: as a file beside this program on
// Windows 2000, Me and later, as "Data" bytes on 95, 98 and NT 4.
void RegisterNewFileTemplate(const char *ext, bool isQbx);
// Deletes what setup itself writes into the extension's new-file key (a "FileName" naming a
// template file of this program, "Data" holding an empty archive) and puts back what the
// record's key "Setup\" + ext holds: every saved value that is missing, or the encoded
// entry of a record without saved values.
void RestoreNewFileEntry(const char *ext, HKEY record);
// For an extension that had no key before setup: deletes setup's own values and then the
// new-file key if nothing else is left in it.
void RemoveNewFileEntry(const char *ext);
