#include "removal/list_file.h"

#include "support/text.h"

bool ListFile::Open(const char *name)
{
    Close();
    file_ = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    filled_ = pos_ = 0;
    return file_ != INVALID_HANDLE_VALUE;
}

void ListFile::Close()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

bool ListFile::Rewind()
{
    filled_ = pos_ = 0;
    return SetFilePointer(file_, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

int ListFile::NextByte()
{
    if (pos_ == filled_) {
        pos_ = filled_ = 0;
        if (!ReadFile(file_, buffer_, sizeof buffer_, &filled_, nullptr) || filled_ == 0)
            return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_++]);
}

ListRead ListFile::ReadLine(char *line, size_t size)
{
    size_t used = 0;
    bool spoilt = size == 0, any = false;
    for (int c; (c = NextByte()) != -1;) {
        any = true;
        if (c == 0 || used + 1 >= size)
            spoilt = true;
        else
            line[used++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (size > 0)
        line[used] = '\0';
    if (!any)
        return ListRead::End;
    return spoilt ? ListRead::Skipped : ListRead::Line;
}

// A component that Windows would read as "." or ".." once it drops trailing dots and blanks.
static bool IsDotComponent(const char *start, const char *end)
{
    if (start == end)
        return false;
    for (const char *p = start; p < end; ++p)
        if (*p != '.' && *p != ' ')
            return false;
    return true;
}

bool IsInsideLine(const char *line)
{
    if (line[0] == '\0' || IsPathSeparator(line[0]))
        return false;
    const char *start = line;
    for (const char *p = line;; p = NextChar(p)) {
        if (*p == ':')
            return false;
        if (*p == '\0' || IsPathSeparator(*p)) {
            if (IsDotComponent(start, p))
                return false;
            if (*p == '\0')
                return true;
            start = p + 1;
        }
    }
}

bool PassesThroughLink(const char *folder, const char *line)
{
    char path[1024];
    for (const char *p = line; *p != '\0'; p = NextChar(p)) {
        if (!IsPathSeparator(*p))
            continue;
        size_t base = lstrlenA(folder), part = p - line;
        if (base + part + 1 > sizeof path)
            return true; // cannot be checked, so not trusted
        CopyMemory(path, folder, base);
        CopyMemory(path + base, line, part);
        path[base + part] = '\0';
        DWORD attr = GetFileAttributesA(path);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
    }
    return false;
}
