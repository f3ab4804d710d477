// Memory for a long run of values that is filled once and read many times (the window of a level
// chart): mapped on its own, in huge pages where the system offers them, so that the first writes
// into a buffer of 100 MB take a few dozen page faults instead of tens of thousands.
#pragma once

#include <cstddef>

namespace murtesk::platform {

class LargeBuffer {
public:
    LargeBuffer() = default;
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    // A buffer of at least `bytes` bytes, its contents unspecified (zero when fresh); empty for 0.
    // Throws std::bad_alloc when the memory cannot be had.
    explicit LargeBuffer(std::size_t bytes);

    void* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void Release();

    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace murtesk::platform
