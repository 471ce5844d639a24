#pragma once
// The main() of a test program whose tests use widgets.

#include <gtest/gtest.h>

#include <QApplication>

// The application object lives on main()'s stack, so it outlives every test
// and is gone before the program's static objects.
#define MARVISK_WIDGET_TEST_MAIN()                                                                 \
    int main(int argc, char** argv) {                                                              \
        QApplication app(argc, argv);                                                              \
        ::testing::InitGoogleTest(&argc, argv);                                                    \
        return RUN_ALL_TESTS();                                                                    \
    }
