// Test main for suites that draw or use widgets: an application object must exist before any
// font, image or widget; the tests run on the offscreen platform so no display is needed.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef QUILLMAR_SOURCE_DIR
    // A desktop-sized screen (1600 x 1000) instead of the offscreen default, so windows open where
    // they were designed at a scale factor of 1.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" QUILLMAR_SOURCE_DIR "/tests/support/desktop-screen.json");
#endif
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
