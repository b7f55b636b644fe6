#pragma once
// Sample declarations of form 0834 for the printing tests: CONT, CAB/DET
// (stored) and HCAB/HDET (sent) rows written into a SuiteDePrueba database. Box
// values are stored as the form saves them: plain digits.

#include "SuiteDePrueba.h"

#include <QMap>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace muestra {

inline const QString kRuc = QStringLiteral("20100070970");
inline const QString kNombre = QStringLiteral("COMERCIAL ANDINA S.A.");
inline const QString kPeriodo = QStringLiteral("2004");

// The boxes of a typical declaration.
inline QMap<QString, QString> casillasBase()
{
    return {
        {QStringLiteral("005"), QStringLiteral("1")},      {QStringLiteral("028"), QStringLiteral("4412345")},
        {QStringLiteral("300"), QStringLiteral("1000")},   {QStringLiteral("301"), QStringLiteral("1234567")},
        {QStringLiteral("328"), QStringLiteral("500")},    {QStringLiteral("330"), QStringLiteral("-1500")},
        {QStringLiteral("101"), QStringLiteral("-1500")},  {QStringLiteral("105"), QStringLiteral("1250")},
        {QStringLiteral("109"), QStringLiteral("2000000")}, {QStringLiteral("139"), QStringLiteral("9000")},
        {QStringLiteral("160"), QStringLiteral("1")},      {QStringLiteral("180"), QStringLiteral("9000")},
        {QStringLiteral("225"), QStringLiteral("1")},      {QStringLiteral("226"), QStringLiteral("07654321")},
        {QStringLiteral("817"), QStringLiteral("PEREZ")},  {QStringLiteral("818"), QStringLiteral("JUAN")},
        {QStringLiteral("825"), QStringLiteral("1")},      {QStringLiteral("546"), QStringLiteral("1000")},
        {QStringLiteral("548"), QStringLiteral("250")},    {QStringLiteral("901"), QStringLiteral("77")},
    };
}

inline bool ejecuta(const SuiteDePrueba& s, const QString& sql, const QVariantList& valores)
{
    QSqlQuery q(s.db());
    q.prepare(sql);
    for (const QVariant& v : valores)
        q.addBindValue(v);
    return q.exec();
}

inline void contribuyente(const SuiteDePrueba& s, const QString& usuario = QStringLiteral("ADMIN"))
{
    ejecuta(s, QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) VALUES (6, ?, 1, ?, ?)"),
            {kRuc, kNombre, usuario});
    // Bank 02 of the bank list: its short name sits at positions 38-49.
    ejecuta(s, QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('004', '02', ?)"),
            {QStringLiteral("BANCO DE CREDITO DEL PERU             BCP         ")});
}

// A stored declaration; bank "" means a cash payment (the form stores " ").
inline void registrada(const SuiteDePrueba& s, const QMap<QString, QString>& casillas, const QString& banco,
                       const QString& cheque = QString())
{
    ejecuta(s, QStringLiteral("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, bcolibrad, nrocheque, "
                              "cNumero) VALUES (6, ?, ?, '0834', 0, ?, ?, '123456')"),
            {kRuc, kPeriodo, banco.isEmpty() ? QStringLiteral(" ") : banco, cheque});
    for (auto it = casillas.begin(); it != casillas.end(); ++it)
        ejecuta(s, QStringLiteral("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor, cNumero) "
                                  "VALUES (6, ?, ?, '0834', ?, ?, '123456')"),
                {kRuc, kPeriodo, it.key(), it.value()});
}

// A sent declaration with its correlative, order and control numbers.
inline void enviada(const SuiteDePrueba& s, const QString& correl, const QMap<QString, QString>& casillas,
                    const QString& banco, qint64 norden, const QString& control)
{
    ejecuta(s, QStringLiteral("INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, NORDEN, FEC_ENV, "
                              "CONTROL, estado, bcolibrad, nrocheque, cNumero) "
                              "VALUES (6, ?, ?, '0834', ?, ?, '15/03/2005', ?, 0, ?, '', '123456')"),
            {kRuc, kPeriodo, correl, norden, control, banco.isEmpty() ? QStringLiteral(" ") : banco});
    for (auto it = casillas.begin(); it != casillas.end(); ++it)
        ejecuta(s, QStringLiteral("INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla, "
                                  "i_valor, estado, cNumero) VALUES (6, ?, ?, '0834', ?, ?, ?, 0, '123456')"),
                {kRuc, kPeriodo, correl, it.key(), it.value()});
}

}  // namespace muestra
