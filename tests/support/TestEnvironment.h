#pragma once

#include <QString>

class QObject;

namespace pellorin::test {

// Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR at fresh temporary
// folders so no test touches the user's real settings. Call before the first
// QSettings is made: Qt caches the configuration folder.
void isolateUserFolders();

// The settings file the program writes under the isolated folders.
QString settingsFilePath();

// Deletes the settings file, for a fresh store.
void removeSettingsFile();

// Writes `contents` as the settings file.
void writeSettingsFile(const QByteArray& contents);

// The bytes of the file at `path`, or "<missing>" when it cannot be read.
QByteArray fileContents(const QString& path);

// Writes `bytes` as the file at `path`; false when that fails.
bool writeFile(const QString& path, const QByteArray& bytes);

// Handles the events waiting now and every event they bring in turn, until
// none is left, so that "nothing else happened" is checked after everything
// that was going to happen has. Timers not yet due are not waiting events.
// False if events kept coming for as long as it was willing to go on.
bool drainEvents();

// The exit status ctest counts as a skip.
inline constexpr int kSkipStatus = 77;

// QTest::qExec with two options of our own, which let ctest count a case
// that skips where it cannot run (not root, under AddressSanitizer) as
// skipped, not passed: "--without=a,b" runs every test function but a and b;
// "--alone=a" runs a alone and ends with kSkipStatus when every case of it
// skipped and none failed. Other arguments go to Qt Test as they are.
int runTests(QObject& testObject, int argc, char** argv);

} // namespace pellorin::test

// A main() for Qt Test executables that isolates the user folders first.
#define PELLORIN_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        pellorin::test::isolateUserFolders();                                                      \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return pellorin::test::runTests(tc, argc, argv);                                           \
    }
