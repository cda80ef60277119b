#include "support/file.h"

constexpr int kDeviceReadSize = 20000;

bool File::Open(const char *name, bool forWriting, bool shared)
{
    Close();
    DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
    DWORD sharing = FILE_SHARE_READ | (shared ? FILE_SHARE_WRITE : 0);
    HANDLE h = CreateFileA(name, access, sharing, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    handle = h;
    return true;
}

int File::Read(void *buffer, int size) { return ReadOnce(buffer, size); }

int File::ReadOnce(void *buffer, int size)
{
    if (size < 0)
        return -1;
    DWORD got = 0;
    if (ReadFile(handle, buffer, static_cast<DWORD>(size), &got, nullptr))
        return static_cast<int>(got);
    if (IsPipeOrDevice() && size > kDeviceReadSize)
        return ReadOnce(buffer, kDeviceReadSize);
    return -1;
}

bool File::Seek(long long position, DWORD origin)
{
    if (!IsOpen())
        return true;
    LONG high = static_cast<LONG>(position >> 32);
    SetLastError(0);
    DWORD low = SetFilePointer(handle, static_cast<LONG>(position & 0xFFFFFFFF), &high, origin);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != 0);
}

long long File::Tell()
{
    LONG high = 0;
    SetLastError(0);
    DWORD low = SetFilePointer(handle, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != 0)
        return -1;
    return (static_cast<long long>(high) << 32) | low;
}

bool File::IsPipeOrDevice() const
{
    if (!IsOpen())
        return false;
    DWORD type = GetFileType(handle);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

bool File::Close()
{
    if (!IsOpen())
        return true;
    HANDLE h = handle;
    handle = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != FALSE;
}
