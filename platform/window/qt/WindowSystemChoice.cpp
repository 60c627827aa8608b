#include "WindowSystemChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QString>
#include <QStringList>

#include <cstring>

namespace pellorin {

namespace {

bool waylandSession()
{
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
}

bool platformNamed(int argc, const char* const* argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// The folders Qt takes platform plugins from, as far as they are known before
// the application object exists: the one named for them, the plugin folders
// from the environment and Qt's own, and the program's folder.
QStringList platformPluginFolders(int argc, const char* const* argv)
{
    QStringList folders;
    const QString named = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!named.isEmpty())
        folders << named;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platformpluginpath") == 0)
            folders << QString::fromLocal8Bit(argv[i + 1]);
    }
    QStringList pluginFolders
        = qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    pluginFolders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    if (argc > 0)
        pluginFolders << QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    for (const QString& folder : pluginFolders)
        folders << folder + QStringLiteral("/platforms");
    return folders;
}

// Whether a plugin in `folders` says it provides the platform "wayland", read
// from its metadata as Qt reads it, without loading it.
bool waylandPluginIn(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
        for (const QFileInfo& file : files) {
            if (!QLibrary::isLibrary(file.fileName()))
                continue;
            const QJsonObject meta = QPluginLoader(file.absoluteFilePath()).metaData();
            const QJsonArray keys = meta.value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            for (const auto& key : keys) {
                if (key.toString().compare(QStringLiteral("wayland"), Qt::CaseInsensitive) == 0)
                    return true;
            }
        }
    }
    return false;
}

} // namespace

void chooseWindowSystem(int argc, const char* const* argv)
{
    if (!waylandSession() || platformNamed(argc, argv))
        return;
    if (!waylandPluginIn(platformPluginFolders(argc, argv)))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
}

} // namespace pellorin
