// An open binary file: the file the records, level files and range files are read from and written
// to. It is either a file on disk or a byte buffer in memory (for tests and in-memory round trips).
//
// Reads are all-or-nothing: Read(n) gives true only when n bytes were there; a short read moves the
// position to the end of the data and gives false, so a field that runs past the end is a failed
// field, never a zero-filled one. Writes give false when any byte could not be written; a failed
// write makes the file failed(), and Close() reports it as well.
// Not thread-safe: one thread uses one file at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace murtesk::platform {

class BinaryFile {
public:
    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Opens an existing regular file for reading at position 0 (OpenRegularFile). False when it can't
    // be opened or is anything but a regular file.
    bool OpenRead(const std::string& path);
    // Creates the file, or empties an existing one, for writing at position 0.
    bool OpenWrite(const std::string& path);
    // Takes over a file descriptor open for writing (position 0, empty); false, with the
    // descriptor closed, when it can't.
    bool AdoptForWriting(int fd);
    // A file in memory that reads the given bytes.
    static BinaryFile FromBytes(std::string bytes);
    // An empty file in memory for writing; Bytes() gives what was written.
    static BinaryFile InMemory();

    bool is_open() const { return stream_ != nullptr || in_memory_; }
    // True after a failed write or a failed flush.
    bool failed() const { return failed_; }

    // Reads exactly `size` bytes into `destination`; see above for short reads.
    bool Read(void* destination, std::size_t size);
    // Writes `size` bytes.
    bool Write(const void* source, std::size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }

    std::uint64_t Position() const { return position_; }
    // The size of the file: the bytes there were when it was opened, plus those written since.
    std::uint64_t Size() const { return size_; }
    // Bytes left between the position and the end.
    std::uint64_t Remaining() const { return position_ < size_ ? size_ - position_ : 0; }
    // True when nothing is left to read (also after a short read).
    bool AtEnd() const { return position_ >= size_; }
    // Moves to an absolute position inside the file (0 .. Size()).
    bool Seek(std::uint64_t position);
    // Reads exactly `size` bytes from byte `offset` into `destination` without moving the position
    // (one positioned read on a file on disk). False, with Size() made what the file holds now,
    // when they are not all there: the file shrank or the read failed.
    bool ReadAt(std::uint64_t offset, void* destination, std::size_t size);

    // Flushes written data to the operating system (and with `to_disk` to the disk).
    bool Flush(bool to_disk = false);
    // Flushes and closes; false when anything written could not be stored. Closing a closed
    // file gives true.
    bool Close();

    // The bytes of an in-memory file.
    const std::string& Bytes() const { return memory_; }

private:
    void Reset();

    std::FILE* stream_ = nullptr;
    bool in_memory_ = false;
    bool failed_ = false;
    bool writing_ = false;
    std::string memory_;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
};

// Opens an existing regular file for reading without ever waiting: a named pipe, a device or a folder
// is refused at once (opening a pipe would wait for a writer, for ever when none comes). Gives the
// descriptor (blocking reads, closed on exec), or -1 when the file can't be opened or isn't regular.
int OpenRegularFile(const std::string& path);

// Test seam: the number of times a file on disk was opened for reading (OpenRead), process-wide.
std::uint64_t ReadOpensForTests();

// Test seam: every file on disk opened for writing fails its writes once it would hold more than
// `bytes` bytes, as on a full disk. A negative value ends it. Process-wide.
void SetWriteLimitForTests(std::int64_t bytes);

// Test seam: the files on disk share `bytes` bytes of space from now on: each write takes its size
// from it, and a write the space left cannot hold fails, as on a disk that fills up while a command
// writes many files. A negative value ends it. Process-wide.
void SetDiskSpaceForTests(std::int64_t bytes);

}  // namespace murtesk::platform
