// The program's large blocks (the fixed entry tables of every loaded table,
// tens of megabytes each) asked for in huge pages: touching them all in
// small pages costs more than a dump of the whole table takes otherwise.
// Linked into the lexicarta-cli executable only.

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEXICARTA_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LEXICARTA_SANITIZED 1
#endif

// Sanitizer builds keep their own allocation functions, which check pairs.
#ifndef LEXICARTA_SANITIZED

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t HugePage = 2u << 20;
constexpr std::size_t LargeBlock = 4 * HugePage;

void* Allocate(std::size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    if (size >= LargeBlock) {
        // A block this large is a fresh mapping not yet touched: the advice
        // takes effect before the first write.
        const auto begin = (reinterpret_cast<std::uintptr_t>(block) + HugePage - 1) & ~(HugePage - 1);
        const auto end = (reinterpret_cast<std::uintptr_t>(block) + size) & ~(HugePage - 1);
        if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

#endif  // LEXICARTA_SANITIZED
