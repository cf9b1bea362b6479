#include "shell/About.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using lumvard::shell::TFAbout;

namespace {

TEST(About, ShowsPictureAndVersionAndAClickOnThePictureCloses) {
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<TFAbout *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto *picture = box->findChild<QLabel *>(QStringLiteral("Image1"));
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull());
        EXPECT_EQ(box->findChild<QLabel *>(QStringLiteral("LVersion"))->text(), QStringLiteral("Version2.0"));
        EXPECT_FALSE(box->findChild<QLabel *>(QStringLiteral("LVendor"))->text().isEmpty());
        checked = true;
        // A click on the vendor text (which lies on the picture) closes the box too.
        QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("LVendor")), Qt::LeftButton);
    });
    TFAbout box;
    // The click is what ends exec(); a box that ignored it would hang here until the test's timeout.
    QTimer::singleShot(5000, &box, [&box] { box.done(-1); });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    EXPECT_TRUE(checked);
}

} // namespace
