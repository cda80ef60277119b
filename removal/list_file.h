// Reading "Uninstall.lst", which anyone with write access to the installation folder could
// have changed: its lines are judged once, as it is read.
#pragma once

#include <cstddef>

#include "removal/list_lines.h"
#include "support/file_identity.h"

inline constexpr char kListFileName[] = "Uninstall.lst";

// A line that names something inside the folder; state belongs to the deletion passes and
// starts at 0.
struct ListLine {
    const char *text;
    unsigned char state;
};

// The list read whole: its lines that stay inside the folder, in their order. The file stays
// open, without delete sharing, until Close: a removal cut short must find it again.
class ListFile {
public:
    ~ListFile() { Close(); }
    // False when the file cannot be opened or read, or its lines cannot be held. The lines are
    // given in this process's code page; a line that has no exact form there is skipped.
    bool Open(const char *name);
    void Close();
    // True when the path leads to the open list file, under whatever name.
    bool IsListFile(const char *path) const;
    // Every line read, taken or not.
    size_t LinesRead() const { return read_; }
    size_t Count() const { return count_; }
    ListLine &Line(size_t i) { return lines_[i]; }
    // The k-th line in order of depth, deepest first.
    ListLine &Deepest(size_t k) { return lines_[byDepth_[k]]; }

private:
    bool Take(size_t size, UINT codePage);
    HANDLE file_ = INVALID_HANDLE_VALUE;
    FileId id_ = {};
    char *text_ = nullptr;
    ListLine *lines_ = nullptr;
    size_t *byDepth_ = nullptr;
    size_t count_ = 0;
    size_t read_ = 0;
};

// True when a folder on the way from folder (with trailing backslash) to the line's last
// component is a junction or symbolic link, or exists but cannot be checked; folders found to
// be none are remembered in checked.
bool PassesThroughLink(CheckedFolders &checked, const char *folder, const char *line);
