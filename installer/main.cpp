// Alt834: installs form 0834 into the suite's shared database. It takes no
// arguments and has no window of its own; a failure is shown in a message box
// when there is a display and is always written to stderr.

#include "IniFile.h"
#include "Module1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <memory>

namespace {

bool isHeadlessPlatform(const QString& platform)
{
    return platform.startsWith(u"offscreen") || platform.startsWith(u"minimal");
}

// Decided before any application object exists: without a display a
// QApplication would abort, and without a box to show none is needed.
bool displayAvailable()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return !isHeadlessPlatform(platform);
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

QMessageBox::Icon boxIcon(InstallerMessage::Icon icon)
{
    switch (icon) {
    case InstallerMessage::Icon::Information: return QMessageBox::Information;
    case InstallerMessage::Icon::Critical: return QMessageBox::Critical;
    case InstallerMessage::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

void showBox(const InstallerMessage& message)
{
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    // The command line is not used; only the program name reaches Qt.
    int qtArgc = argc > 0 ? 1 : 0;
    const bool withBoxes = displayAvailable();
    std::unique_ptr<QCoreApplication> app;
    QTranslator qtStrings;
    if (withBoxes) {
        app = std::make_unique<QApplication>(qtArgc, argv);
        // Standard buttons in Spanish ("Aceptar").
        if (qtStrings.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtStrings);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, argv);
    }
    const bool boxes = withBoxes && !isHeadlessPlatform(QGuiApplication::platformName());

    Module1 installer(IniFile::locateIni(), [boxes](const InstallerMessage& message) {
        writeToStderr(message);
        if (boxes)
            showBox(message);
    });
    return installer.run();
}
