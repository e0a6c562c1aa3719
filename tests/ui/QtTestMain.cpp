#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Widgets need an application; the offscreen platform needs no display.
int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
