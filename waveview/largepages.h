#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>

namespace lentaro {

// Large buffers (a long file's points, the chart's picture) written for the first time take a page
// fault every 4 kB; in 2 MB pages they take a few. Only advice: a system without such pages
// ignores it.
void preferLargePages(const void* data, std::size_t bytes);

// An RGB32 image of that size whose pixels lie in large pages where the system has them.
QImage largePageImage(QSize size);

} // namespace lentaro
