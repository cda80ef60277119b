// Explorer's "New" menu entries for ".qbx" and ".zip": empty archives as templates.
#pragma once

#include <stddef.h>

// Empty archives, held with their first byte zero so this program's file never carries
// either signature in full; CompleteTemplates sets it before any use.
extern unsigned char EmptyQbxArchive[20];
extern unsigned char EmptyZipArchive[22];
void CompleteTemplates();

// Encodes the extension's current new-file entry into out (size bytes): its "FileName",
// else "*" for a "NullFile" entry, else "".
void SaveNewFileEntry(const char *ext, char *out, size_t size);
// Registers the empty archive as the extension's template: as a file beside this program on
// Windows 2000, Me and later, as "Data" bytes on 95, 98 and NT 4.
void RegisterNewFileTemplate(const char *ext, bool isQbx);
// Puts back the entry recorded in the settings key "Setup\" + ext.
void RestoreNewFileEntry(const char *ext);
