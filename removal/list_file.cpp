#include "removal/list_file.h"

#include <windows.h>

#include <new>
#include <string.h>

#include "support/text.h"

// The whole file, with a spare byte for the last terminator; null unless every byte was read,
// since a line cut short could name another file.
static char *ReadWhole(HANDLE file, size_t &size)
{
    DWORD high = 0, low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE || high != 0 || low >= 0x7FFFFFFF)
        return nullptr;
    char *text = new (std::nothrow) char[low + 1];
    DWORD got = 0;
    size = 0;
    while (text && size < low && ReadFile(file, text + size, low - static_cast<DWORD>(size), &got, nullptr) && got > 0)
        size += got;
    if (size == low)
        return text;
    delete[] text;
    return nullptr;
}

bool ListFile::Open(const char *name)
{
    Close();
    file_ = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE)
        return false;
    size_t size = 0;
    text_ = ReadWhole(file_, size);
    // Without an identity (id_ stays zero) the list is still read; a line naming it is then
    // taken for a file in use.
    GetFileId(file_, &id_);
    if (text_ && Take(size))
        return true;
    Close();
    return false;
}

bool ListFile::IsListFile(const char *path) const
{
    FileId id;
    return file_ != INVALID_HANDLE_VALUE && GetFileIdOf(path, &id) && id == id_;
}

bool ListFile::Take(size_t size)
{
    size_t most = 1;
    for (size_t i = 0; i < size; ++i)
        most += text_[i] == '\n';
    lines_ = new (std::nothrow) ListLine[most];
    byDepth_ = new (std::nothrow) size_t[most];
    const char **texts = new (std::nothrow) const char *[most];
    if (!lines_ || !byDepth_ || !texts) {
        delete[] texts;
        return false;
    }
    size_t pos = 0;
    char *line;
    for (ListRead got; (got = TakeListLine(text_, size, pos, &line)) != ListRead::End; ++read_) {
        if (got == ListRead::Line && IsInsideLine(line, g_dbcs.lead)) {
            lines_[count_] = {line, 0};
            texts[count_++] = line;
        }
    }
    OrderDeepestFirst(texts, count_, g_dbcs.lead, byDepth_);
    delete[] texts;
    return true;
}

void ListFile::Close()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    delete[] text_;
    delete[] lines_;
    delete[] byDepth_;
    text_ = nullptr;
    lines_ = nullptr;
    byDepth_ = nullptr;
    count_ = read_ = 0;
}

// A folder that cannot be checked is not trusted.
static bool IsLinkOnDisk(void *context, const char *line, size_t length)
{
    const char *folder = static_cast<const char *>(context);
    char path[1024];
    size_t base = strlen(folder);
    if (base + length + 1 > sizeof path)
        return true;
    CopyMemory(path, folder, base);
    CopyMemory(path + base, line, length);
    path[base + length] = '\0';
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool PassesThroughLink(CheckedFolders &checked, const char *folder, const char *line)
{
    return checked.PassesThroughLink(line, g_dbcs.lead, IsLinkOnDisk, const_cast<char *>(folder));
}
