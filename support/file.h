// A disk file read through a Windows handle with 64-bit positions.
#pragma once

#include <windows.h>

class File {
public:
    File() = default;
    ~File() { Close(); }
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    // Open's flags by name, for each call to say what it asks.
    static constexpr bool kReadOnly = false, kReadWrite = true;       // forWriting
    static constexpr bool kShareRead = false, kShareReadWrite = true; // shared
    // Opens an existing file for reading (and writing), sharing reads (and writes).
    bool Open(const char *name, bool forWriting, bool shared);
    // Bytes read, 0 at the end of the file, -1 on failure.
    int Read(void *buffer, int size);
    // One read; a failed read of more than 20000 bytes from a pipe or device is tried
    // once more with 20000 bytes, which such handles may accept.
    int ReadOnce(void *buffer, int size);
    bool Seek(long long position, DWORD origin);
    // The current position; -1 when the system cannot tell it.
    long long Tell();
    bool IsPipeOrDevice() const;
    // False only when the system fails to close an open handle.
    bool Close();
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};
