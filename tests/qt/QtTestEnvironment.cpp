// One QApplication for the whole test program. Widgets need it before the
// first window exists, and Qt allows only one per process, so it is made
// once here instead of in each test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>
#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // Without a display the tests run on Qt's offscreen platform; a
        // platform chosen by whoever runs them is left as it is. It must be
        // set before the application object reads it.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // QApplication keeps references to argc and argv for its lifetime.
        static int argc = 1;
        static char name[] = "qt_tests";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }

    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

// Registered during static initialisation, so that gtest_main's
// RUN_ALL_TESTS sets it up before the first test.
[[maybe_unused]] ::testing::Environment* const g_qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
