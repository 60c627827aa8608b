#include "TestEnvironment.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace pellorin::test {

namespace {

QString& rootPath()
{
    static QString path;
    return path;
}

} // namespace

void isolateUserFolders()
{
    // Lives for the whole test process and is removed at exit.
    static std::unique_ptr<QTemporaryDir> root = std::make_unique<QTemporaryDir>();
    rootPath() = root->path();
    const QString home = root->path() + QStringLiteral("/home");
    const QString config = root->path() + QStringLiteral("/config");
    const QString runtime = root->path() + QStringLiteral("/runtime");
    for (const QString& dir : { home, config, runtime })
        QDir().mkpath(dir);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("HOME", home.toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", config.toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
}

QString settingsFilePath()
{
    return rootPath() + QStringLiteral("/config/Quillmere/Pellorin.ini");
}

void removeSettingsFile()
{
    QFile::remove(settingsFilePath());
}

void writeSettingsFile(const QByteArray& contents)
{
    QDir().mkpath(rootPath() + QStringLiteral("/config/Quillmere"));
    QFile file(settingsFilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool drainEvents()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    for (int round = 0; round < 10000; ++round) {
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            return true;
    }
    return false;
}

} // namespace pellorin::test
