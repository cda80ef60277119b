#include "removal/list_file.h"

#include <windows.h>

#include <new>
#include <string.h>

#include "support/code_pages.h"
#include "support/file_encoding.h"
#include "support/long_paths.h"
#include "support/log.h"
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
    if (!text_) {
        Close();
        return false;
    }
    bool marked = StartsWithUtf8Mark(text_, size);
    UINT codePage = DetectCodePage(marked, text_, size, TextEnd::File, SystemAnsiCodePage(), SystemLegacyAnsiCodePage());
    if (marked) {
        size -= kUtf8MarkSize;
        MoveMemory(text_, text_ + kUtf8MarkSize, size);
    }
    if (Take(size, codePage))
        return true;
    Close();
    return false;
}

bool ListFile::IsListFile(const char *path) const
{
    FileId id;
    return file_ != INVALID_HANDLE_VALUE && LongGetFileIdOf(path, &id) && id == id_;
}

static const char kLongLine[] = "too long or a zero byte";

// The lines of text converted from the list's code page, each ended by a line feed, into a new
// text of size bytes. A line with no exact form in this process's code page, or none that fits
// a line, becomes an empty line, which names nothing.
static char *ConvertLines(char *text, size_t &size, UINT codePage)
{
    size_t lines = 1;
    for (size_t i = 0; i < size; ++i)
        lines += text[i] == '\n';
    // Room for the text converted (a letter of a single-byte code page takes three bytes in UTF-8),
    // and one line feed for each line: a line always finds room for itself and its line feed.
    if (size > (static_cast<size_t>(-1) - lines - 1) / kConversionGrowth)
        return nullptr;
    size_t room = Converted(size) + lines;
    char *converted = new (std::nothrow) char[room + 1];
    if (!converted)
        return nullptr;
    size_t pos = 0, used = 0, number = 1;
    char *line;
    for (ListRead got; (got = TakeListLine(text, size, pos, &line)) != ListRead::End; ++number) {
        size_t most = room - used < kListLineSize - 1 ? room - used : kListLineSize - 1;
        int n = got == ListRead::Line
                    ? ConvertText(codePage, line, kTerminated, ProcessCodePage(), converted + used, most)
                    : -1;
        if (n < 0)
            LogLine("skipped, list line %u: %s", number, got == ListRead::Line ? "no exact form" : kLongLine);
        used += n > 0 ? n : 0;
        converted[used++] = '\n';
    }
    converted[used] = '\0';
    size = used;
    return converted;
}

bool ListFile::Take(size_t size, UINT codePage)
{
    if (codePage != ProcessCodePage()) {
        char *converted = ConvertLines(text_, size, codePage);
        delete[] text_;
        text_ = converted;
        if (!text_)
            return false;
    }
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
        if (got == ListRead::Line && IsInsideLine(line, g_processCodePage.lead)) {
            lines_[count_] = {line, 0};
            texts[count_++] = line;
        } else if (got == ListRead::Skipped) {
            LogLine("skipped, list line %u: %s", read_ + 1, kLongLine);
        } else if (line[0] != '\0') {
            LogLine("skipped, %s: %s", "outside the folder", line);
        }
    }
    OrderDeepestFirst(texts, count_, g_processCodePage.lead, byDepth_);
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

// A folder whose attributes cannot be read is not trusted. One that does not exist is: nothing
// passes through it, and a removal cut short must finish when run again.
static bool IsLinkOnDisk(void *context, const char *line, size_t length)
{
    const char *folder = static_cast<const char *>(context);
    char path[kPathSize];
    size_t base = strlen(folder);
    if (base + length + 1 > sizeof path)
        return true;
    CopyMemory(path, folder, base);
    CopyMemory(path + base, line, length);
    path[base + length] = '\0';
    DWORD attr = LongGetFolderAttributes(path);
    if (attr != INVALID_FILE_ATTRIBUTES)
        return (attr & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool PassesThroughLink(CheckedFolders &checked, const char *folder, const char *line)
{
    return checked.PassesThroughLink(line, g_processCodePage.lead, IsLinkOnDisk, const_cast<char *>(folder));
}
