#include "receiver/ui/receiver_art.h"

#include <gtest/gtest.h>

#include <QImage>

namespace receiver_ui {
namespace {

// Counts the opaque pixels whose strongest channel is `channel` (0 red, 1 green, 2 blue).
int PixelsDominatedBy(const QImage& image, int channel) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128) {
                continue;
            }
            const int values[] = {c.red(), c.green(), c.blue()};
            if (values[channel] > 2 * values[(channel + 1) % 3] &&
                values[channel] > 2 * values[(channel + 2) % 3]) {
                ++count;
            }
        }
    }
    return count;
}

TEST(ReceiverArtTest, ListImagesHaveTheirColoursOnATransparentGround) {
    const struct {
        int image;
        int channel;
    } coloured[] = {{receiver::kImageIncoming, 0},
                    {receiver::kImageOutgoing, 1},
                    {receiver::kImageInformation, 2}};
    for (const auto& c : coloured) {
        const QImage image = ListImagePixmap(c.image).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_GT(PixelsDominatedBy(image, c.channel), 20) << c.image;
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << c.image;
        EXPECT_EQ(image.pixelColor(15, 15).alpha(), 0) << c.image;
    }
    // The arrows point right: each chevron's tip is at mid-height on its right.
    const QImage incoming = ListImagePixmap(receiver::kImageIncoming).toImage();
    EXPECT_GT(incoming.pixelColor(7, 8).alpha(), 0);
    EXPECT_EQ(incoming.pixelColor(7, 3).alpha(), 0);
    EXPECT_EQ(incoming.pixelColor(7, 13).alpha(), 0);

    const QImage empty = ListImagePixmap(receiver::kImageControl).toImage();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(empty.pixelColor(x, y).alpha(), 0) << x << "," << y;
        }
    }
}

TEST(ReceiverArtTest, ProgramIconComesInBothSizes) {
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    const QImage large = icon.pixmap(32, 32).toImage();
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            opaque += large.pixelColor(x, y).alpha() > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 200);
    EXPECT_LT(opaque, 32 * 32);
}

// Nothing of the drawing is cut off by the picture's edges: drawn large, every border
// pixel stays clear.
TEST(ReceiverArtTest, ProgramIconFitsInsideItsPicture) {
    const QImage image = ProgramIconPixmap(256).toImage();
    for (int i = 0; i < 256; ++i) {
        for (const QPoint border : {QPoint(i, 0), QPoint(i, 255), QPoint(0, i), QPoint(255, i)}) {
            ASSERT_EQ(image.pixelColor(border).alpha(), 0) << border.x() << "," << border.y();
        }
    }
}

}  // namespace
}  // namespace receiver_ui
