#include "ApplySkin.h"

#include "SkinEngine.h"
#include "WindowColors.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace pellorin {

namespace {

// The kinds of control whose background the skin's colour scheme sets.
bool takesSkinBackground(const QWidget& control)
{
    return qobject_cast<const QRadioButton*>(&control) || qobject_cast<const QCheckBox*>(&control)
        || qobject_cast<const QGroupBox*>(&control) || qobject_cast<const QLabel*>(&control);
}

} // namespace

QString skinFilePath(const QString& programFolder)
{
    return programFolder + QStringLiteral("/x/o.cjs");
}

bool isOrdinaryFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

SkinPlaces SkinPlaces::ofThisBuild()
{
    return { QStringLiteral(PELLORIN_INSTALLED_PROGRAM_FOLDER),
        QStringLiteral(PELLORIN_SYSTEM_CONFIG_FOLDER) };
}

QString findSkinFile(const QString& programFolder, const SkinPlaces& places)
{
    if (isOrdinaryFile(skinFilePath(programFolder)))
        return skinFilePath(programFolder);
    const bool installed
        = QDir::cleanPath(programFolder) == QDir::cleanPath(places.installedProgramFolder);
    if (installed && isOrdinaryFile(skinFilePath(places.systemFolder)))
        return skinFilePath(places.systemFolder);
    return {};
}

void ApplySkin(
    QWidget& window, SkinEngine& engine, const QString& programFolder, const SkinPlaces& places)
{
    const QString skinFile = findSkinFile(programFolder, places);
    if (skinFile.isEmpty())
        return;

    setBackColor(window, kButtonFace);
    // The controls in creation order, as the window holds them.
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (takesSkinBackground(*control))
            setBackColor(*control, kButtonFace);
    }

    engine.invoke(SkinEngine::LoadSkin, { skinFile, QString() });
    const qint32 options = engine.getProperty(SkinEngine::ApplyOptions).toInt();
    engine.putProperty(SkinEngine::ApplyOptions, qint32(options | 1));
    engine.putProperty(SkinEngine::AutoApplyNewWindows, true);
    engine.putProperty(SkinEngine::AutoApplyNewThreads, true);
    engine.invoke(SkinEngine::ApplyWindow, { QVariant::fromValue<QObject*>(&window) });
}

} // namespace pellorin
