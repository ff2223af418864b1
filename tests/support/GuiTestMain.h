#pragma once

#include <QApplication>
#include <QTest>

// The main() of a test that builds windows with web views: the web engine needs shared
// OpenGL contexts requested before the application object exists.
#define KORVANI_GUI_TEST_MAIN(TestObject)                                                                             \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                    \
        QApplication app(argc, argv);                                                                                  \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
