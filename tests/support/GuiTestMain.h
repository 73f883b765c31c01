#pragma once

#include <QTest>

#include "window/FicheliaApplication.h"

// main() for a QtTest of the window: the application object the program uses,
// with Qt's French texts.
#define FICHELIA_GUI_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char** argv) {                                                                                  \
        fichelia::FicheliaApplication application(argc, argv);                                                         \
        application.loadFrenchTranslation();                                                                          \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
