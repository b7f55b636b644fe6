#pragma once
// Sample rows for the dialog tests: taxpayers of two users, stored and sent
// declarations, PARAM banks and UIT values.

#include "SuiteDePrueba.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

inline const QString kForm = QStringLiteral("0834");

inline bool agregaContribuyente(const SuiteDePrueba& s, const QString& ruc, const QString& nombre, const QString& usuario)
{
    QSqlQuery q(s.db());
    q.prepare(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) VALUES (6,?,1,?,?)"));
    q.addBindValue(ruc);
    q.addBindValue(nombre);
    q.addBindValue(usuario);
    return q.exec();
}

inline bool agregaUsuario(const SuiteDePrueba& s, const QString& usuario, const QString& tipo)
{
    QSqlQuery q(s.db());
    q.prepare(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) VALUES (?,?)"));
    q.addBindValue(usuario);
    q.addBindValue(tipo);
    return q.exec();
}

// A stored declaration with two boxes.
inline bool agregaGuardada(const SuiteDePrueba& s, const QString& ruc, const QString& periodo, int estado,
                      const QString& form = kForm)
{
    QSqlQuery q(s.db());
    q.prepare(QStringLiteral("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
                             " VALUES (6,?,?,?,?,'000000')"));
    q.addBindValue(ruc);
    q.addBindValue(periodo);
    q.addBindValue(form);
    q.addBindValue(estado);
    if (!q.exec())
        return false;
    for (const char* casilla : {"300", "105"}) {
        QSqlQuery d(s.db());
        d.prepare(QStringLiteral("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor,"
                                 " idcasilla, cNumero) VALUES (6,?,?,?,?,'1000','01','000000')"));
        d.addBindValue(ruc);
        d.addBindValue(periodo);
        d.addBindValue(form);
        d.addBindValue(QLatin1String(casilla));
        if (!d.exec())
            return false;
    }
    return true;
}

// A sent version of a declaration with two boxes.
inline bool agregaEnviada(const SuiteDePrueba& s, const QString& ruc, const QString& periodo, const QString& correl,
                    const QVariant& norden = QVariant(), const QString& control = QStringLiteral("1234567890"))
{
    QSqlQuery q(s.db());
    q.prepare(QStringLiteral("INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, NORDEN, FEC_ENV,"
                             " CONTROL, estado) VALUES (6,?,?,?,?,?,'05/03/2004',?,0)"));
    q.addBindValue(ruc);
    q.addBindValue(periodo);
    q.addBindValue(kForm);
    q.addBindValue(correl);
    q.addBindValue(norden);
    q.addBindValue(control);
    if (!q.exec())
        return false;
    for (const char* casilla : {"300", "806"}) {
        QSqlQuery d(s.db());
        d.prepare(QStringLiteral("INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla,"
                                 " i_valor, idcasilla, estado, cNumero) VALUES (6,?,?,?,?,?,'10','01',0,'000000')"));
        d.addBindValue(ruc);
        d.addBindValue(periodo);
        d.addBindValue(kForm);
        d.addBindValue(correl);
        d.addBindValue(QLatin1String(casilla));
        if (!d.exec())
            return false;
    }
    return true;
}

inline bool agregaParam(const SuiteDePrueba& s, const QString& numero, const QString& argumento, const QString& funcion)
{
    QSqlQuery q(s.db());
    q.prepare(QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES (?,?,?)"));
    q.addBindValue(numero);
    q.addBindValue(argumento);
    q.addBindValue(funcion);
    return q.exec();
}

// Rows of a table matching a condition written by the test itself.
inline int cuentaFilas(const SuiteDePrueba& s, const QString& table, const QString& where = QString())
{
    QSqlQuery q(s.db());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table + (where.isEmpty() ? QString() : u' ' + where)) ||
        !q.next())
        return -1;
    return q.value(0).toInt();
}

// ANA (type 1) owns ALFA and GAMA, LUIS owns BETA; ROOT is of type 0.
inline void agregaDosUsuarios(const SuiteDePrueba& s)
{
    agregaUsuario(s, QStringLiteral("ANA"), QStringLiteral("1"));
    agregaUsuario(s, QStringLiteral("ROOT"), QStringLiteral("0"));
    agregaContribuyente(s, QStringLiteral("20100000001"), QStringLiteral("ALFA S.A.  "), QStringLiteral("ANA"));
    agregaContribuyente(s, QStringLiteral("20100000002"), QStringLiteral("BETA S.A.C."), QStringLiteral("LUIS"));
    agregaContribuyente(s, QStringLiteral("20100000003"), QStringLiteral("GAMA E.I.R.L."), QStringLiteral("ANA"));
}
