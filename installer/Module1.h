#pragma once
// Alt834's work: registers form 0834 in the suite's shared database - its
// PARAM rows, its report titles in Reportes and the host's transmission
// description in envio_t, read from TMP/env834.txt. Every row is updated when
// its key exists and inserted otherwise, so running it again changes values
// and never duplicates a row. All writes of one run commit together.

#include "ArchivoEnvio.h"
#include "MensajeInstalador.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <array>

struct FilaParam {
    QString numero;
    QString argumento;
    QString funcion;
    QString correlParam;
};

struct FilaReporte {
    QString codRep;
    QString descRep;
};

class Module1 {
public:
    // iniPath is KV000.INI; every message goes to sink.
    Module1(QString iniPath, SalidaInstalador sink,
            QString connectionName = QStringLiteral("alt834"));
    ~Module1();
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // The whole installation; returns the program's exit status.
    int ejecuta();

    // The suite folder from the SysPath value: trimmed, with a doubled
    // trailing separator cut to one. Empty when the suite is not installed.
    static QString carpetaSuite(const QString& sysPathValue);

    static const std::array<FilaParam, 5>& filasParam();
    static const std::array<FilaReporte, 3>& filasReporte();
    static inline const QString kForm = QStringLiteral("0834");

private:
    enum class ResultadoSentencia { Hecha, Duplicada, Fallida };

    bool abreBaseDatos(const QString& folder);
    ResultadoSentencia ejecutaSentencia(QSqlQuery& query);
    // A statement with its bound values, in the order of its "?".
    struct Sentencia {
        QString sql;
        QVariantList values;
    };
    // Runs find; then update when it found a row, insert otherwise.
    bool actualizaOInserta(const Sentencia& find, const Sentencia& update, const Sentencia& insert);
    bool actualizaParam(const FilaParam& row);
    bool actualizaReporte(const FilaReporte& row);
    bool actualizaEnvio(const FilaEnvio& row);
    bool instalaTodo(const ArchivoEnvio& envio);
    void informaErrorSentencia(const QSqlError& error);

    QString iniPath_;
    SalidaInstalador sink_;
    QString connection_;
    bool open_ = false;
};
