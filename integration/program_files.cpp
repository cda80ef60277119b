#include "integration/program_files.h"

#include "support/program_path.h"

bool ArchiverPath(char *out, size_t size) { return ProgramFilePath(QBX_ARCHIVER_FILE, out, size); }
