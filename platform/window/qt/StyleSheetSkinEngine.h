#pragma once

#include "SkinEngine.h"

#include <QString>

namespace pellorin {

// Our skin engine: a skin file is a Qt style sheet in UTF-8.
//
// LoadSkin reads the file (the variant name is for skin formats that hold
// several looks; a style sheet holds one, so it is ignored). ApplyWindow sets
// the style sheet on the window it is given; with AutoApplyNewWindows
// it also becomes the application's style sheet, so message boxes and dialogs
// opened later share the look. Qt widgets live on one thread, so
// AutoApplyNewThreads is kept but changes nothing, and a style sheet always
// carries its own metrics, so bit 0 of ApplyOptions is kept as well.
class StyleSheetSkinEngine final : public SkinEngine {
public:
    QVariant invoke(int id, const QVariantList& arguments) override;
    QVariant getProperty(int id) override;
    void putProperty(int id, const QVariant& value) override;

private:
    bool loadSkin(const QString& path);
    bool applyWindow(const QVariant& window);

    QString m_styleSheet;
    qint32 m_applyOptions = 0;
    bool m_autoApplyNewWindows = false;
    bool m_autoApplyNewThreads = false;
};

} // namespace pellorin
