// The chart's picture in large pages behaves as any RGB32 image: its rows where QImage expects
// them, its pixels its own, a copy that can be changed apart from it.

#include <gtest/gtest.h>

#include "waveview/largepages.h"

namespace lentaro {
namespace {

class LargePageImage : public ::testing::TestWithParam<QSize>
{};

TEST_P(LargePageImage, HoldsEveryPixelAndCopiesApart)
{
    const QSize size = GetParam();
    QImage image = largePageImage(size);
    ASSERT_EQ(image.size(), size);
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    for (int row = 0; row < size.height(); ++row)
        for (int column = 0; column < size.width(); ++column)
            image.setPixel(column, row, qRgb(row % 256, column % 256, (row + column) % 256));

    QImage copy = image;
    copy.setPixel(size.width() - 1, size.height() - 1, qRgb(1, 2, 3));
    for (int row = 0; row < size.height(); ++row)
        for (int column = 0; column < size.width(); ++column)
            ASSERT_EQ(image.pixel(column, row), qRgb(row % 256, column % 256, (row + column) % 256))
                << column << "," << row;
    EXPECT_EQ(copy.pixel(size.width() - 1, size.height() - 1), qRgb(1, 2, 3));
}

INSTANTIATE_TEST_SUITE_P(Sizes, LargePageImage,
                         ::testing::Values(QSize(3, 2), QSize(1920, 1080), QSize(1023, 513),
                                           QSize(512, 1024)));

} // namespace
} // namespace lentaro
