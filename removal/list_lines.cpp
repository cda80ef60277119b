#include "removal/list_lines.h"

#include <cstring>

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

static bool IsLineEndSpace(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; }

// A lead byte followed by the terminator is a character of its own.
static const char *NextChar(const char *p, const LeadByteTable &lead)
{
    return lead[static_cast<unsigned char>(*p)] && p[1] != '\0' ? p + 2 : p + 1;
}

ListRead TakeListLine(char *text, size_t size, size_t &pos, char **line)
{
    if (pos >= size)
        return ListRead::End;
    size_t start = pos, end = pos;
    bool zero = false;
    for (; end < size && text[end] != '\n'; ++end)
        zero = zero || text[end] == '\0';
    pos = end < size ? end + 1 : end;
    if (zero || pos - start >= kListLineSize)
        return ListRead::Skipped;
    while (end > start && IsLineEndSpace(text[end - 1]))
        --end;
    text[end] = '\0';
    *line = text + start;
    return ListRead::Line;
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

bool IsInsideLine(const char *line, const LeadByteTable &lead)
{
    // No code page has a colon as a trail byte, so any colon byte counts.
    if (line[0] == '\0' || IsSeparator(line[0]) || std::strchr(line, ':'))
        return false;
    const char *start = line;
    for (const char *p = line;; p = NextChar(p, lead)) {
        if (*p == '\0' || IsSeparator(*p)) {
            if (IsDotComponent(start, p))
                return false;
            if (*p == '\0')
                return true;
            start = p + 1;
        }
    }
}

bool JoinListPath(char *dest, size_t size, const char *folder, const char *line)
{
    size_t a = std::strlen(folder), b = std::strlen(line);
    if (a + b + 1 > size)
        return false;
    std::memcpy(dest, folder, a);
    std::memcpy(dest + a, line, b + 1);
    return true;
}

size_t LineDepth(const char *line, const LeadByteTable &lead)
{
    size_t depth = 1;
    for (const char *p = line; *p != '\0'; p = NextChar(p, lead))
        depth += IsSeparator(*p);
    return depth;
}

// Place of a line's depth in a sort deepest first; deeper than any taken line counts as that.
static size_t DepthRank(const char *line, const LeadByteTable &lead)
{
    size_t depth = LineDepth(line, lead);
    return depth < kListLineSize ? kListLineSize - depth : 0;
}

void OrderDeepestFirst(const char *const *lines, size_t count, const LeadByteTable &lead, size_t *order)
{
    // Counting sort: start[r] becomes the first place of rank r.
    size_t start[kListLineSize] = {};
    for (size_t i = 0; i < count; ++i)
        ++start[DepthRank(lines[i], lead)];
    for (size_t r = 0, sum = 0; r < kListLineSize; ++r) {
        size_t n = start[r];
        start[r] = sum;
        sum += n;
    }
    for (size_t i = 0; i < count; ++i)
        order[start[DepthRank(lines[i], lead)]++] = i;
}

bool CheckedFolders::PassesThroughLink(const char *line, const LeadByteTable &lead, LinkQuery isLink,
                                       void *context)
{
    size_t shared = 0;
    while (shared < length_ && line[shared] == known_[shared])
        ++shared;
    // Same bytes split into the same characters, so where the line's folder ends within the
    // shared bytes, and the known path also ends or has a separator, that folder is known.
    size_t checked = 0;
    bool link = false;
    for (const char *p = line; *p != '\0' && !link; p = NextChar(p, lead)) {
        if (!IsSeparator(*p))
            continue;
        size_t at = p - line;
        bool known = at <= shared && (at == length_ || (at < length_ && IsSeparator(known_[at])));
        link = !known && isLink(context, line, at);
        if (!link)
            checked = at;
    }
    length_ = checked < sizeof known_ ? checked : 0;
    std::memcpy(known_, line, length_);
    return link;
}
