#include "StartupMessages.h"

#include "Session.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <QWidget>

#include <cstdio>

namespace StartupMessages {
namespace {

void show(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (sinVentanas()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

bool sinVentanas()
{
    return qEnvironmentVariable("QVR_NO_MODAL") == QLatin1String("1") ||
           QGuiApplication::platformName() == QLatin1String("offscreen");
}

void sinIntegrador()
{
    show(QMessageBox::Critical, kTituloSinIntegrador, kTextoSinIntegrador);
}

void yaEnEjecucion()
{
    show(QMessageBox::Information, kTituloYaEnEjecucion, kTextoYaEnEjecucion);
}

void errorConexion(const OpenFailure& failure)
{
    show(QMessageBox::NoIcon, kConnectionErrorTitle, openFailureMessage(failure));
}

bool cargaTraduccion(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace StartupMessages

void AvanzaFoco(const QString& tecla)
{
    if (tecla != QLatin1String("TAB"))
        return;
    QWidget* window = QApplication::activeWindow();
    if (!window)
        return;
    // A Tab keystroke to the control that has the focus: Qt passes the focus
    // on to the next control of the window, as the keyboard would.
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &tab);
}
