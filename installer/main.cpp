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

// The platforms to try for message boxes, or empty when there is no display
// to show them on. Decided before any application object exists: a display
// that cannot be reached must not abort the program before it has said why
// it stopped, so "offscreen" always closes the list.
QByteArray boxPlatforms()
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty()) {
        if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
            platform = "wayland;xcb";
        else if (qEnvironmentVariableIsSet("DISPLAY"))
            platform = "xcb";
        else
            return QByteArray();
    }
    if (isHeadlessPlatform(QString::fromLocal8Bit(platform)))
        return QByteArray();
    return platform + ";offscreen";
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
    const QByteArray platforms = boxPlatforms();
    const bool withBoxes = !platforms.isEmpty();
    std::unique_ptr<QCoreApplication> app;
    QTranslator qtStrings;
    if (withBoxes) {
        qputenv("QT_QPA_PLATFORM", platforms);
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
