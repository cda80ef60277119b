#include <gtest/gtest.h>

#include "common/test_util.h"
#include "support/file.h"

#include <string>

// A buffer whose bytes from `writable` on cannot be written, so a longer read fails.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t writable)
    {
        size_t page = 4096, rw = (writable + page - 1) / page * page;
        base_ = static_cast<char *>(VirtualAlloc(nullptr, rw + 4 * page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + rw, 4 * page, PAGE_READONLY, &old);
    }
    ~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }
    char *get() { return base_; }

private:
    char *base_;
};

TEST(FileObject, OpenReadSeekTellClose)
{
    TempDir dir("file");
    File file;
    EXPECT_FALSE(file.Open((dir / "missing.txt").c_str(), File::kReadOnly, File::kShareReadWrite));
    EXPECT_FALSE(file.IsOpen());

    ASSERT_TRUE(WriteFileBytes(dir / "five.txt", "12345"));
    ASSERT_TRUE(file.Open((dir / "five.txt").c_str(), File::kReadOnly, File::kShareReadWrite));
    EXPECT_FALSE(file.IsPipeOrDevice());
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 10), 5);
    EXPECT_EQ(std::string(buffer, 5), "12345");
    EXPECT_EQ(file.Tell(), 5);
    EXPECT_EQ(file.Read(buffer, 10), 0) << "end of the file";
    EXPECT_TRUE(file.Seek(2, FILE_BEGIN));
    EXPECT_EQ(file.Read(buffer, 10), 3);
    EXPECT_EQ(buffer[0], '3');
    EXPECT_TRUE(file.Seek(0x100000010LL, FILE_BEGIN)) << "positions past 4 GiB";
    EXPECT_EQ(file.Tell(), 0x100000010LL);
    EXPECT_TRUE(file.Close());

    // Shared for reading: a second reader may open it; the destructor closes.
    {
        File other;
        ASSERT_TRUE(other.Open((dir / "five.txt").c_str(), File::kReadOnly, File::kShareReadWrite));
        ASSERT_TRUE(file.Open((dir / "five.txt").c_str(), File::kReadOnly, File::kShareReadWrite));
    }
    file.Close();
    EXPECT_TRUE(DeleteFileA((dir / "five.txt").c_str())) << "no handle left open";
}

TEST(FileObject, FailedReadOfADiskFileIsNotRetried)
{
    TempDir dir("file");
    ASSERT_TRUE(WriteFileBytes(dir / "big.bin", std::string(40000, 'b')));
    File file;
    ASSERT_TRUE(file.Open((dir / "big.bin").c_str(), File::kReadOnly, File::kShareReadWrite));
    GuardedBuffer buffer(20480);
    EXPECT_EQ(file.Read(buffer.get(), 30000), -1);
    EXPECT_TRUE(file.Seek(0, FILE_BEGIN));
    EXPECT_EQ(file.Read(buffer.get(), 20000), 20000);
}

TEST(FileObject, PipesAndDevices)
{
    File nul;
    ASSERT_TRUE(nul.Open("NUL", File::kReadOnly, File::kShareReadWrite));
    EXPECT_TRUE(nul.IsPipeOrDevice());
    char byte;
    EXPECT_EQ(nul.Read(&byte, 1), 0);

    // The premise: the system fails a pipe read whose buffer is not all writable.
    HANDLE readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 65536));
    DWORD written = 0, got = 0;
    ASSERT_TRUE(WriteFile(writeEnd, "xyz", 3, &written, nullptr));
    GuardedBuffer buffer(20480);
    bool failsGuarded = !ReadFile(readEnd, buffer.get(), 30000, &got, nullptr);
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    if (!failsGuarded)
        GTEST_SKIP() << "this system reads into partly writable buffers";

    const char *name = "\\\\.\\pipe\\qbx-file-test";
    HANDLE server = CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 65536, 65536, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    File pipe;
    ASSERT_TRUE(pipe.Open(name, File::kReadOnly, File::kShareReadWrite));
    EXPECT_TRUE(pipe.IsPipeOrDevice());
    std::string data(100, 'p');
    ASSERT_TRUE(WriteFile(server, data.data(), 100, &written, nullptr));
    // The long read fails on the guarded bytes; the one retry with 20000 bytes gets the data.
    EXPECT_EQ(pipe.Read(buffer.get(), 30000), 100);
    EXPECT_EQ(std::string(buffer.get(), 100), data);
    // A failed read of 20000 bytes or fewer is not retried.
    ASSERT_TRUE(WriteFile(server, data.data(), 100, &written, nullptr));
    GuardedBuffer small(4096);
    EXPECT_EQ(pipe.Read(small.get(), 10000), -1);
    CloseHandle(server);
}
