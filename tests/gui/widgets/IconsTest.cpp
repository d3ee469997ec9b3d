#include "gui/widgets/Icons.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

using namespace sorabel;

// The pictures are kept as the pixels a pixmap holds: each must come out as
// it was drawn, in its colours, and the program's own at every size given.
TEST(Icons, PicturesComeOutAsDrawn) {
    const QIcon own = Icons::get("sorabel");
    EXPECT_EQ(own.availableSizes(), (QList<QSize>{{16, 16}, {48, 48}, {64, 64}}));
    for (const int size : {48, 64}) {
        const QImage drawn(
            QStringLiteral(SORABEL_TEST_DATA "/../../data/icons/sorabel-%1.png").arg(size));
        ASSERT_FALSE(drawn.isNull());
        EXPECT_EQ(own.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                  drawn.convertToFormat(QImage::Format_ARGB32))
            << size;
    }
    // The green plus of "add" is green in the middle, not blue or red.
    const QColor middle = Icons::get("add").pixmap(16).toImage().pixelColor(8, 8);
    EXPECT_EQ(middle.alpha(), 255);
    EXPECT_GT(middle.green(), 2 * std::max(middle.red(), middle.blue()))
        << middle.name().toStdString();
}
