// Default environment of the GoogleTest programs: whatever ctest or the
// caller did not set is filled in before any test runs.
#include <cstdlib>

namespace {

void SetIfUnset(const char *name, const char *value)
{
    if (!std::getenv(name))
        setenv(name, value, 0);
}

struct TestEnvironment {
    TestEnvironment()
    {
        SetIfUnset("QT_QPA_PLATFORM", "offscreen");
        SetIfUnset("QEL_SYSTEM_PORTS", "0");
        SetIfUnset("QEL_TEST_DATA", QEL_TEST_DATA_DIR);
        SetIfUnset("QELSIM", QEL_QELSIM_PATH);
        SetIfUnset("QELCLI", QEL_QELCLI_PATH);
        // The tests read the default (Chinese) texts.
        unsetenv("QEL_LANG");
    }
} g_testEnvironment;

} // namespace
