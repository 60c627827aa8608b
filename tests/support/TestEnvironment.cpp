#include "TestEnvironment.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaMethod>
#include <QTemporaryDir>
#include <QTest>
#include <QtTest/private/qtestlog_p.h>

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

namespace {

// The test functions Qt Test would run, in its order: private slots without
// parameters that are neither data functions nor the fixture's own.
QStringList testFunctions(const QObject& testObject)
{
    static const QStringList fixture { QStringLiteral("initTestCase"),
        QStringLiteral("cleanupTestCase"), QStringLiteral("init"), QStringLiteral("cleanup") };
    QStringList functions;
    const QMetaObject* meta = testObject.metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        const QString name = QString::fromLatin1(method.name());
        if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Private
            && method.parameterCount() == 0 && !name.endsWith(QLatin1String("_data"))
            && !fixture.contains(name) && !functions.contains(name))
            functions << name;
    }
    return functions;
}

} // namespace

int runTests(QObject& testObject, int argc, char** argv)
{
    const QString withoutOption = QStringLiteral("--without=");
    const QString aloneOption = QStringLiteral("--alone=");
    QStringList arguments;
    QStringList without;
    QString alone;
    for (int i = 0; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(withoutOption))
            without = argument.mid(withoutOption.size()).split(u',');
        else if (argument.startsWith(aloneOption))
            alone = argument.mid(aloneOption.size());
        else
            arguments << argument;
    }
    const QStringList functions = testFunctions(testObject);
    for (const QString& name : without + QStringList { alone }) {
        if (!name.isEmpty() && !functions.contains(name))
            qFatal("no test function %s", qPrintable(name));
    }
    if (!alone.isEmpty())
        arguments << alone;
    else if (!without.isEmpty()) {
        for (const QString& name : functions) {
            if (!without.contains(name))
                arguments << name;
        }
    }
    const int failures = QTest::qExec(&testObject, arguments);
    // initTestCase and cleanupTestCase count as two passes of their own.
    constexpr int kFixturePasses = 2;
    if (!alone.isEmpty() && failures == 0 && QTestLog::failCount() == 0 && QTestLog::skipCount() > 0
        && QTestLog::passCount() == kFixturePasses)
        return kSkipStatus;
    return failures;
}

} // namespace pellorin::test
