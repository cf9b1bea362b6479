#include "support/ScriptedMessages.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lumvard"));
    lumvard::test::installStrictMessages();
    return RUN_ALL_TESTS();
}
