#pragma once

#include <QString>

class QWidget;

namespace pellorin {

class SkinEngine;

// The skin file beside the executable: "x/o.cjs" in `programFolder`.
QString skinFilePath(const QString& programFolder);

// Whether a directory search finds `path` as an ordinary file: a folder of
// that name or a hidden file does not count.
bool isOrdinaryFile(const QString& path);

// Where an installed program is, and the system-wide folder whose "x/o.cjs"
// it also reads: an administrator's skin there is no file of the package,
// so purging the package leaves it alone.
struct SkinPlaces {
    QString installedProgramFolder;
    QString systemFolder;

    // This build's: its install prefix's program folder and sysconfdir.
    static SkinPlaces ofThisBuild();
};

// The skin file for a program in `programFolder`: the one beside it, else,
// for the installed program only, the system-wide one. Empty when neither is
// an ordinary file. A build tree never reads the system's skin.
QString findSkinFile(const QString& programFolder, const SkinPlaces& places);

// Gives `window` the look of the skin file when there is one: turns the
// backgrounds of the window, its frames, option buttons, check boxes and
// labels to the button face, then hands the file and the window to `engine`.
// Without the file it does nothing. Engine failures go to the caller.
void ApplySkin(QWidget& window, SkinEngine& engine, const QString& programFolder,
    const SkinPlaces& places = SkinPlaces::ofThisBuild());

} // namespace pellorin
