// GUI tests run without a display: the offscreen platform, unless the caller
// chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
#ifdef _WIN32
        _putenv_s("QT_QPA_PLATFORM", "offscreen");
#else
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
#endif
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
