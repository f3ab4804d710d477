// The windows' icon is the desktop entry's picture: a dark blue panel with light blue bars and an orange
// line, on a transparent corner.
#include "window_icon.h"
#include "qt_test_app.h"

#include <QImage>

#include <gtest/gtest.h>

namespace murtesk::platform::qt {
namespace {

TEST(ProgramWindowIcon, IsTheDesktopEntrysPictureAtEverySize) {
    ::murtesk::platform::qt::testing::TestApp();
    const QIcon icon = ProgramWindowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    // At 64 pixels one pixel is one unit of the picture's 64 × 64 view box.
    const QImage image = icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);  // outside the rounded panel
    const QRgb panel = image.pixel(5, 32);
    EXPECT_EQ(qAlpha(panel), 255);
    EXPECT_LT(qRed(panel), 60);
    EXPECT_GT(qBlue(panel), qRed(panel) + 30);
    EXPECT_LT(qBlue(panel), 130);
    const QRgb bar = image.pixel(30, 45);
    EXPECT_GT(qBlue(bar), 190);
    EXPECT_LT(qRed(bar), 130);
    const QRgb line = image.pixel(27, 13);
    EXPECT_GT(qRed(line), qBlue(line) + 80);
}

}  // namespace
}  // namespace murtesk::platform::qt
