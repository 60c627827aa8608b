#include "app/Form1.h"
#include "platform/QtClipboard.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSaveDialog.h"
#include "platform/QtSettingsStore.h"
#include "platform/SpreadsheetModule.h"
#include "platform/StyleSheetSkinEngine.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PELLORIN_APP_ID));

    pellorin::QtSettingsStore settings;
    pellorin::QtMessageBoxes messages;
    pellorin::QtClipboard clipboard;
    pellorin::QtSaveDialog saveDialog;
    pellorin::SpreadsheetModule spreadsheet;
    pellorin::StyleSheetSkinEngine skin;

    pellorin::Form1 window({ settings, messages, clipboard, saveDialog, spreadsheet, skin });
    messages.setParentWindow(&window);
    window.show();
    return application.exec();
}
