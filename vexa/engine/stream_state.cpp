#include "vexa/engine/stream_state.h"

#include <sys/mman.h>

#include <new>

namespace vexa {

namespace {
constexpr std::size_t kHugePage = 2u << 20;
constexpr std::size_t kBlockBytes = (kWorkAreaSize + 2 * kReadBufferSize + kHugePage - 1) / kHugePage * kHugePage;
}  // namespace

RunBuffers::RunBuffers() {
    // Mapped with room to start on a huge-page boundary; the slack is
    // unmapped again.
    void* raw = ::mmap(nullptr, kBlockBytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto* base = static_cast<uint8_t*>(raw);
    const auto address = reinterpret_cast<std::uintptr_t>(base);
    const std::size_t lead = (kHugePage - address % kHugePage) % kHugePage;
    if (lead) ::munmap(base, lead);
    if (kHugePage - lead) ::munmap(base + lead + kBlockBytes, kHugePage - lead);
    block_ = base + lead;
    // Only advice: where huge pages are not given the block stays as it is.
    (void)::madvise(block_, kBlockBytes, MADV_HUGEPAGE);
}

RunBuffers::~RunBuffers() { ::munmap(block_, kBlockBytes); }

}  // namespace vexa
