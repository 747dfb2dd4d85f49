#include "waveview/largepages.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace lentaro {

namespace {

constexpr std::uintptr_t largePage = std::uintptr_t(2) << 20;

} // namespace

void preferLargePages(const void* data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(largePage - 1);
    if (begin < end)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

QImage largePageImage(QSize size)
{
    const qsizetype stride = qsizetype(size.width()) * 4;
    const std::size_t bytes = std::size_t(stride) * std::size_t(std::max(0, size.height()));
    if (bytes < largePage)
        return QImage(size, QImage::Format_RGB32);
    const std::size_t rounded = (bytes + largePage - 1) & ~(largePage - 1);
    void* pixels = std::aligned_alloc(largePage, rounded);
    if (!pixels)
        return QImage(size, QImage::Format_RGB32);
    preferLargePages(pixels, rounded);
    return QImage(
        static_cast<uchar*>(pixels), size.width(), size.height(), stride, QImage::Format_RGB32,
        [](void* block) { std::free(block); }, pixels);
}

} // namespace lentaro
