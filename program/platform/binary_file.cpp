#include "binary_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace murtesk::platform {
namespace {
std::atomic<std::int64_t> g_write_limit{-1};
std::atomic<std::int64_t> g_disk_space{-1};

// Takes `size` bytes from the test's disk space; false when it cannot hold them.
bool TakeDiskSpace(std::size_t size) {
    std::int64_t left = g_disk_space.load();
    const auto wanted = static_cast<std::int64_t>(size);
    do {
        if (left < 0) return true;
        if (left < wanted) return false;
    } while (!g_disk_space.compare_exchange_weak(left, left - wanted));
    return true;
}
std::atomic<std::uint64_t> g_read_opens{0};
}  // namespace

std::uint64_t ReadOpensForTests() {
    return g_read_opens.load();
}

void SetWriteLimitForTests(std::int64_t bytes) {
    g_write_limit.store(bytes);
}

void SetDiskSpaceForTests(std::int64_t bytes) {
    g_disk_space.store(bytes);
}

BinaryFile::~BinaryFile() {
    Close();
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept {
    *this = std::move(other);
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        Close();
        stream_ = std::exchange(other.stream_, nullptr);
        in_memory_ = std::exchange(other.in_memory_, false);
        failed_ = std::exchange(other.failed_, false);
        writing_ = std::exchange(other.writing_, false);
        memory_ = std::move(other.memory_);
        position_ = std::exchange(other.position_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void BinaryFile::Reset() {
    stream_ = nullptr;
    in_memory_ = false;
    failed_ = false;
    writing_ = false;
    position_ = 0;
    size_ = 0;
}

int OpenRegularFile(const std::string& path) {
    // Without O_NONBLOCK the open itself of a named pipe waits for the other end; the type is only
    // known once it is open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool BinaryFile::OpenRead(const std::string& path) {
    Close();
    g_read_opens.fetch_add(1, std::memory_order_relaxed);
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    struct stat info {};
    std::FILE* stream = ::fstat(fd, &info) == 0 ? fdopen(fd, "rb") : nullptr;
    if (!stream) {
        ::close(fd);
        return false;
    }
    stream_ = stream;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool BinaryFile::OpenWrite(const std::string& path) {
    Close();
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream) return false;
    stream_ = stream;
    writing_ = true;
    return true;
}

bool BinaryFile::AdoptForWriting(int fd) {
    Close();
    std::FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        ::close(fd);
        return false;
    }
    stream_ = stream;
    writing_ = true;
    return true;
}

BinaryFile BinaryFile::FromBytes(std::string bytes) {
    BinaryFile file;
    file.in_memory_ = true;
    file.size_ = bytes.size();
    file.memory_ = std::move(bytes);
    return file;
}

BinaryFile BinaryFile::InMemory() {
    BinaryFile file;
    file.in_memory_ = true;
    file.writing_ = true;
    return file;
}

bool BinaryFile::Read(void* destination, std::size_t size) {
    if (!is_open()) return false;
    if (size > Remaining()) {
        position_ = size_;
        if (stream_) std::fseek(stream_, 0, SEEK_END);
        return false;
    }
    if (size == 0) return true;
    if (in_memory_) {
        std::memcpy(destination, memory_.data() + position_, size);
    } else if (std::fread(destination, 1, size, stream_) != size) {
        // The file shrank under us: treat it as its end.
        size_ = position_;
        return false;
    }
    position_ += size;
    return true;
}

bool BinaryFile::ReadAt(std::uint64_t offset, void* destination, std::size_t size) {
    if (!is_open() || offset > size_ || size > size_ - offset) return false;
    if (in_memory_) {
        std::memcpy(destination, memory_.data() + offset, size);
        return true;
    }
    const int fd = fileno(stream_);
    auto* out = static_cast<char*>(destination);
    for (std::size_t done = 0; done < size;) {
        const ssize_t got = ::pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            struct stat info {};
            size_ = fstat(fd, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : offset + done;
            if (position_ > size_) position_ = size_;
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool BinaryFile::Write(const void* source, std::size_t size) {
    if (!is_open() || !writing_) {
        failed_ = true;
        return false;
    }
    if (size == 0) return !failed_;
    const std::int64_t limit = g_write_limit.load();
    if (!in_memory_ && ((limit >= 0 && position_ + size > static_cast<std::uint64_t>(limit)) || !TakeDiskSpace(size))) {
        failed_ = true;
        return false;
    }
    if (in_memory_) {
        if (position_ + size > memory_.size()) memory_.resize(position_ + size);
        std::memcpy(memory_.data() + position_, source, size);
    } else if (std::fwrite(source, 1, size, stream_) != size) {
        failed_ = true;
        return false;
    }
    position_ += size;
    if (position_ > size_) size_ = position_;
    return true;
}

bool BinaryFile::Seek(std::uint64_t position) {
    if (!is_open() || position > size_) return false;
    if (stream_ && std::fseek(stream_, static_cast<long>(position), SEEK_SET) != 0) return false;
    position_ = position;
    return true;
}

bool BinaryFile::Flush(bool to_disk) {
    if (!stream_ || !writing_) return !failed_;
    if (std::fflush(stream_) != 0) failed_ = true;
    if (to_disk && !failed_ && fsync(fileno(stream_)) != 0) failed_ = true;
    return !failed_;
}

bool BinaryFile::Close() {
    if (!is_open()) return true;
    bool ok = !failed_;
    if (stream_) {
        if (writing_ && std::fflush(stream_) != 0) ok = false;
        if (std::fclose(stream_) != 0) ok = false;
    }
    const bool was_memory = in_memory_;
    std::string bytes = std::move(memory_);
    Reset();
    if (was_memory) memory_ = std::move(bytes);
    return ok;
}

}  // namespace murtesk::platform
