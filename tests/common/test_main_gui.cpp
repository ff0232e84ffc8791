#include <QApplication>
#include <gtest/gtest.h>

#include "tests/common/test_env.h"

int main(int argc, char** argv) {
    rilumo::test::InstallPrivateEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
