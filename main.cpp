#include "AccessibleFactories.h"
#include "Form1.h"
#include "ProcessEnd.h"
#include "ProgramInformation.h"
#include "QtClipboard.h"
#include "QtMessageBoxes.h"
#include "QtSaveDialog.h"
#include "QtSettingsStore.h"
#include "SpreadsheetModule.h"
#include "StyleSheetSkinEngine.h"
#include "WindowSystemChoice.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    pellorin::ignoreWriteSignals();
    if (const auto status = pellorin::answerInformationRequest(argc, argv))
        return *status;
    pellorin::chooseWindowSystem(argc, argv);
    QApplication application(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PELLORIN_APP_ID));

    pellorin::installAccessibleFactories(pellorin::Form1::staticMetaObject.className());

    pellorin::QtSettingsStore settings;
    pellorin::QtMessageBoxes messages;
    pellorin::QtClipboard clipboard;
    pellorin::QtSaveDialog saveDialog;
    pellorin::SpreadsheetModule spreadsheet;
    pellorin::StyleSheetSkinEngine skin;

    pellorin::Form1 window({ settings, messages, clipboard, saveDialog, spreadsheet, skin });
    messages.setParentWindow(&window);
    saveDialog.setParentWindow(&window);
    window.show();
    return application.exec();
}
