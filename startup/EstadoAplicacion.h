#pragma once
// What the windows of Kv834 share for the life of the process: the settings,
// the database connection, the form code and the values by which a main-window
// command tells the window it opens what to do. One object, owned by the
// start-up, handed to every window.

#include "ObjFunciones.h"
#include "Configuracion.h"

#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>

struct EstadoAplicacion {
    ObjFunciones funciones;           // the one shared utility component
    QString iniPath;                  // KV000.INI that was read
    Configuracion settings;
    QString connectionName = QString::fromLatin1(QSqlDatabase::defaultConnection);
    QString formCode;                 // "0834" once the main window has loaded
    qint16 currentOperation = 0;      // set by the main window's commands
    bool printSent = false;           // print sent (true) or stored (false) declarations
    QString helpFile;                 // SysPath + "0834/Kv834.hlp"

    QSqlDatabase db() const { return QSqlDatabase::database(connectionName, false); }
};

inline constexpr char16_t kFormCode[] = u"0834";
