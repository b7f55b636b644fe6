// The yardstick of Kv834's start: a bare Qt Widgets main window with a menu,
// a tool bar and a status bar, which quits as soon as it is shown.

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow ventana;
    QMenu* menu = ventana.menuBar()->addMenu(QStringLiteral("&Archivo"));
    QToolBar* barra = ventana.addToolBar(QStringLiteral("Herramientas"));
    for (const QStyle::StandardPixmap icono : {QStyle::SP_FileIcon, QStyle::SP_DialogOpenButton, QStyle::SP_TrashIcon,
                                               QStyle::SP_DialogCloseButton}) {
        QAction* accion = menu->addAction(ventana.style()->standardIcon(icono), QStringLiteral("Acción"));
        barra->addAction(accion);
    }
    ventana.statusBar()->showMessage(QStringLiteral("Listo"));
    ventana.resize(640, 480);
    ventana.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
