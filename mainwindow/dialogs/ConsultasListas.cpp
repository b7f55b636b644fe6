#include "ConsultasListas.h"

#include "Dinero.h"
#include "ConsultasSesion.h"
#include "TransaccionSql.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <iterator>

namespace {

const QString kStoredList = QStringLiteral(
    "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.ESTADO FROM CAB AS A, CONT AS B"
    " WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND A.FORMULARIO=?");
const QString kSentList = QStringLiteral(
    "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.NORDEN, A.FEC_ENV, A.CONTROL, A.CORREL"
    " FROM HCAB AS A, CONT AS B"
    " WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND A.FORMULARIO=?");
// Every row for a user of type "0", else those of the user's own taxpayers,
// decided in the list's own statement.
const QString kUserFilter = QStringLiteral(" AND ") + condicionVisiblePara(QStringLiteral("B.USUARIO"));

// The standard declaration filter; sent versions add their correlative.
const QString kDeclarationWhere = QStringLiteral(" WHERE DOC_ID_D=? AND TIP_DOC_D=6 AND PERIODO=? AND FORMULARIO=?");
const QString kCorrelWhere = QStringLiteral(" AND CORREL=?");

std::optional<LoteSql::Resultado> listaDeclaraciones(QSqlDatabase db, const QString& select, const QString& order,
                                                     const QString& formCode, const QString& sysUser,
                                                     QSqlError* error)
{
    return LoteSql::una(db, select + kUserFilter + order, {formCode, sysUser, sysUser}, error);
}

// Deletes from each table in turn (detail first) under one transaction; on
// the server the deletes travel with the commit.
std::optional<FalloBase> eliminaFilasDeclaracion(QSqlDatabase db, std::initializer_list<const char*> tables,
                                               const QString& where, const QVariantList& values)
{
    // The header table (last) is reserved first, as every writer of a declaration does.
    TransaccionSql transaction(db, QLatin1String(*std::prev(tables.end())));
    if (!transaction.abierta())
        return falloBaseDe(transaction.errorSql());
    LoteSql borrados;
    for (const char* table : tables)
        borrados.agregar(QStringLiteral("DELETE FROM ") + QLatin1String(table) + where, values);
    if (!transaction.confirmar(borrados))
        return falloBaseDe(transaction.errorSql());
    return std::nullopt;
}

} // namespace

FalloBase falloBaseDe(const QSqlError& error)
{
    FalloBase f;
    f.description = error.text().trimmed();
    if (clasificarError(error) == FalloSql::Bloqueo)
        f.number = kJetBloqueada;
    else
        f.number = error.nativeErrorCode().toInt();   // SQLite's code; a server's SQLSTATE reads as 0
    return f;
}

QString textoFalloLista(const QSqlError& error)
{
    return textoFalloLectura(QStringLiteral("la lista de declaraciones"), error);
}

QString textoFalloLectura(const QString& lista, const QSqlError& error)
{
    QString text = QStringLiteral("No se pudo leer ") + lista;
    switch (clasificarError(error)) {
    case FalloSql::Bloqueo:
        text += QStringLiteral(": la base de datos está ocupada por otro usuario. Intente nuevamente en unos momentos.");
        break;
    case FalloSql::SinConexion:
        text += QStringLiteral(": se perdió la conexión con el servidor de la base de datos.");
        break;
    default:
        text += u'.';
    }
    return text + u'\n' + error.text().trimmed();
}

std::optional<LoteSql::Resultado> consultaDeclaracionesGuardadas(QSqlDatabase db, const QString& formCode,
                                                                const QString& sysUser, QSqlError* error)
{
    return listaDeclaraciones(db, kStoredList, QStringLiteral(" ORDER BY A.DOC_ID_D ASC, A.PERIODO ASC"), formCode,
                           sysUser, error);
}

std::optional<LoteSql::Resultado> consultaDeclaracionesEnviadas(QSqlDatabase db, const QString& formCode,
                                                               const QString& sysUser, QSqlError* error)
{
    return listaDeclaraciones(db, kSentList,
                           QStringLiteral(" ORDER BY A.DOC_ID_D ASC, A.PERIODO ASC, A.CORREL ASC"), formCode,
                           sysUser, error);
}

std::optional<FalloBase> eliminaDeclaracionGuardada(QSqlDatabase db, const QString& ruc, const QString& periodo,
                                                 const QString& formCode)
{
    return eliminaFilasDeclaracion(db, {"DET", "CAB"}, kDeclarationWhere, {ruc, periodo, formCode});
}

std::optional<FalloBase> eliminaDeclaracionEnviada(QSqlDatabase db, const QString& ruc, const QString& periodo,
                                               const QString& formCode, const QString& correl)
{
    return eliminaFilasDeclaracion(db, {"HDET", "HCAB"}, kDeclarationWhere + kCorrelWhere,
                                 {ruc, periodo, formCode, correl});
}

std::optional<LoteSql::Resultado> consultaListaBancos(QSqlDatabase db, QSqlError* error)
{
    return LoteSql::una(db,
                        QStringLiteral("SELECT substr(ARGUMENTO,1,2) AS codigo, substr(FUNCION,1,36) AS descrip"
                                       " FROM PARAM WHERE NUMERO=? AND TRIM(ARGUMENTO)<>?"),
                        {QStringLiteral("004"), QStringLiteral("00")}, error);
}

std::optional<LoteSql::Resultado> consultaListaUit(QSqlDatabase db, QSqlError* error)
{
    return LoteSql::una(db,
                        QStringLiteral("SELECT substr(ARGUMENTO,1,8) AS codigo, substr(FUNCION,1,12) AS descrip"
                                       " FROM PARAM WHERE NUMERO=? ORDER BY 1 DESC"),
                        {QStringLiteral("404")}, error);
}

QString textoImporteUit(const QString& funcion)
{
    // The leading number: blanks, an optional sign, digits and one decimal point.
    const QString t = funcion.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'-' || t[end] == u'+'))
        ++end;
    bool point = false;
    while (end < t.size() && ((t[end] >= u'0' && t[end] <= u'9') || (t[end] == u'.' && !point))) {
        point = point || t[end] == u'.';
        ++end;
    }
    const std::optional<Dinero> amount = Dinero::analiza(QStringView(t).left(end));
    if (!amount)
        return QStringLiteral("0");
    QString text = amount->toString(4);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString textoFechaEnvio(const QVariant& value)
{
    const QString format = QStringLiteral("dd/MM/yyyy");
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate().toString(format);
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date().toString(format);
    const QString text = value.toString().trimmed();
    const QDate iso = QDate::fromString(text.left(10), Qt::ISODate);
    if (iso.isValid())
        return iso.toString(format);
    return text;
}
