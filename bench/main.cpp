// Brevant: the ccTalk bench window.
#include <QApplication>
#include <QScreen>

#include "First.h"
#include "SystemPlatform.h"
#include "WindowTexts.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));

    SystemPlatform platform;
    TMainForm mainForm(platform);
    // Centred on the desktop when first shown.
    if (const QScreen *screen = mainForm.screen()) {
        const QRect desktop = screen->availableGeometry();
        mainForm.move(desktop.center() - mainForm.rect().center());
    }
    mainForm.show();
    return application.exec();
}
