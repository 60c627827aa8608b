#pragma once

#include <QString>

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
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
