#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widget tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings read and written by windows under test stay out of the build tree
    // and out of the other tests' way.
    QTemporaryDir programFolder;
    if (qEnvironmentVariableIsEmpty("TONEWRIGHT_PROGRAM_FOLDER"))
        qputenv("TONEWRIGHT_PROGRAM_FOLDER", programFolder.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
