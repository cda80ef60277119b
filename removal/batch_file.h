// The batch file that deletes this program's own file and folder after it has ended.
#pragma once

#include <stddef.h>

constexpr size_t kBatchPathSize = 2048; // a path in batch form: every "%" doubled
constexpr size_t kBatchTextSize = 24 * kBatchPathSize;

// A path as the command interpreter must read it inside a batch file: in the system's OEM
// code page with "%" written "%%". Where that code page cannot hold it: on the NT family, for
// a path without "%", "%variable%", the environment variable set to the path for the
// interpreter to inherit; else its short form. False when there is no such form or it does
// not fit.
bool ToBatchPath(char *out, size_t size, const char *path, const char *variable);

// The batch text for paths already in batch form; nt selects the NT family's first line;
// quiet keeps the program file's last word, the manual-deletion message, from showing.
bool ComposeBatch(char *out, size_t size, bool nt, const char *program, const char *folder, const char *batch,
                  bool quiet = false);

// The command line that starts the batch file through the interpreter comspec (a full path,
// passed as the application name too). NT: "<comspec>" /d /v:off /s /c ""<path>"", with the short
// name for a path holding "%". 9x: <comspec> /c "<short name>", only for a short name of
// letters, digits and \ : . _ ~ -. False when no such safe form exists or it does not fit.
bool BatchCommandLine(char *out, size_t size, bool nt, const char *comspec, const char *batchPath);

// Writes "Uninstall_Qbx.Bat" into the temporary folder and starts it through "COMSPEC", which
// inherits the variables the batch text names.
// The current directory must be the program folder. False when either step failed.
bool WriteAndStartBatch(const char *programPath, bool quiet = false);
