#include "removal/listed_size.h"

#include "removal/list_file.h"
#include "support/long_paths.h"
#include "support/program_path.h"
#include "support/text.h"

bool ListedKiB(const char *folder, DWORD *kib)
{
    char path[kPathSize];
    ListFile list;
    if (!JoinBounded(path, sizeof path, folder, kListFileName) || !list.Open(path))
        return false;
    CheckedFolders checked;
    unsigned long long bytes = 0;
    for (size_t i = 0; i < list.Count(); ++i) {
        const char *line = list.Line(i).text;
        if (!JoinListPath(path, sizeof path, folder, line) || PassesThroughLink(checked, folder, line))
            continue;
        HANDLE file = LongOpenForInformation(path); // files in use count too; folders do not open
        if (file == INVALID_HANDLE_VALUE)
            continue;
        DWORD high = 0, low = GetFileSize(file, &high);
        if (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR)
            bytes += (static_cast<unsigned long long>(high) << 32) + low;
        CloseHandle(file);
    }
    bytes = (bytes + 1023) >> 10;
    *kib = bytes > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(bytes);
    return true;
}
