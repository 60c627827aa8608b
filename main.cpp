#include "app/Form1.h"
#include "platform/QtClipboard.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "platform/SaveDialog.h"
#include "platform/SkinEngine.h"
#include "platform/Spreadsheet.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    pellorin::QtSettingsStore settings;
    pellorin::QtMessageBoxes messages;
    pellorin::QtClipboard clipboard;
    struct NoSaveDialog final : pellorin::SaveDialog {
        QString askSaveFileName(const QString&, const QStringList&) override { return {}; }
    } saveDialog;
    pellorin::Spreadsheet spreadsheet;
    pellorin::SkinEngine skin;

    pellorin::Form1 window({settings, messages, clipboard, saveDialog, spreadsheet, skin});
    messages.setParentWindow(&window);
    window.show();
    return application.exec();
}
