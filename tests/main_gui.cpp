#include "support/ScriptedMessages.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // also covers test discovery
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumvard"));
    lumvard::test::installStrictMessages();
    return RUN_ALL_TESTS();
}
