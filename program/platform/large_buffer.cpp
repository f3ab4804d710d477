#include "large_buffer.h"

#include <sys/mman.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace murtesk::platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;
constexpr int kHugePageOrder = 9;  // 2 MiB in 4 KiB pages

// Huge pages the system has free now without compacting memory: blocks of order 9 and above in
// /proc/buddyinfo ("Node 0, zone Normal n0 n1 ... n10").
std::size_t FreeHugePages() {
    std::FILE* info = std::fopen("/proc/buddyinfo", "re");
    if (info == nullptr) return 0;
    std::size_t pages = 0;
    char line[512];
    while (std::fgets(line, sizeof line, info) != nullptr) {
        const char* counts = std::strstr(line, "zone");
        if (counts == nullptr) continue;
        counts += 4;
        while (*counts == ' ') ++counts;
        while (*counts != ' ' && *counts != '\0') ++counts;  // the zone's name
        int order = 0;
        char* end = nullptr;
        for (unsigned long long n = std::strtoull(counts, &end, 10); end != counts;
             counts = end, n = std::strtoull(counts, &end, 10), ++order) {
            if (order >= kHugePageOrder) pages += static_cast<std::size_t>(n) << (order - kHugePageOrder);
        }
    }
    std::fclose(info);
    return pages;
}

}  // namespace

LargeBuffer::LargeBuffer(std::size_t bytes) {
    if (bytes == 0) return;
    // Below one huge page, small pages; above, whole huge pages on a huge-page boundary inside a
    // mapping one huge page longer.
    const bool huge = bytes >= kHugePage;
    const std::size_t unit = huge ? kHugePage : kSmallPage;
    const std::size_t size = (bytes + unit - 1) / unit * unit;
    const std::size_t length = huge ? size + kHugePage : size;
    void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t aligned = huge ? (start + kHugePage - 1) / kHugePage * kHugePage : start;
    mapping_ = mapping;
    mappingSize_ = length;
    data_ = reinterpret_cast<void*>(aligned);
    size_ = size;
    // Huge pages only while twice as many lie free: asked for on fragmented memory, the kernel
    // would stop to compact it, which costs far more than the small pages' faults. Where none are
    // given the buffer works all the same in small pages.
    if (huge && FreeHugePages() >= 2 * (size / kHugePage)) ::madvise(data_, size_, MADV_HUGEPAGE);
}

LargeBuffer::~LargeBuffer() { Release(); }

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept { *this = std::move(other); }

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappingSize_ = std::exchange(other.mappingSize_, 0);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void LargeBuffer::Release() {
    if (mapping_ != nullptr) ::munmap(mapping_, mappingSize_);
    mapping_ = data_ = nullptr;
    mappingSize_ = size_ = 0;
}

}  // namespace murtesk::platform
