#include "ConsultasParam.h"

#include "ObjFunciones.h"
#include "ConsultasSesion.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

const QString kDocumentTypes = QStringLiteral("044");
const QString kBanks = QStringLiteral("004");

bool sonDigitos(const QString& text)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Tells the caller whether a read succeeded, with the database's text when not
// (a statement that could not be prepared keeps the prepare's error).
bool informaLectura(const QSqlQuery& q, bool leida, bool* ok, QString* error)
{
    if (ok)
        *ok = leida;
    if (!leida && error)
        *error = q.lastError().text();
    return leida;
}

// A number code as PARAM 044 keys it: no blanks, no leading zeros ("06" -> "6").
QString argumentoDeTipo(const QString& type)
{
    QString t = type.trimmed();
    if (!sonDigitos(t))
        return t;
    while (t.size() > 1 && t.startsWith(u'0'))
        t.remove(0, 1);
    return t;
}

// The code as the list shows it: at least two digits ("6" -> "06").
QString codigoDosDigitos(const QString& argumento)
{
    const QString a = argumentoDeTipo(argumento);
    if (!sonDigitos(a))
        return a;
    return a.rightJustified(2, u'0');
}

RegistroTipoDocumento registroRuc(QSqlDatabase db)
{
    return {paramFuncion(db, kDocumentTypes, QStringLiteral("6")).value_or(kRegistroRucPredeterminado)};
}

} // namespace

QString mid(const QString& text, int pos, int len)
{
    if (pos < 1 || pos > text.size())
        return {};
    return text.mid(pos - 1, len < 0 ? -1 : len);
}

int numeroInicial(const QString& text)
{
    const QString t = text.trimmed();
    int value = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9' || value > 100000000)
            break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<QString> paramFuncion(QSqlDatabase db, const QString& numero, const QString& argumento)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"));
    q.addBindValue(numero);
    q.addBindValue(argumento);
    if (q.exec() && q.next())
        return q.value(0).toString();
    return std::nullopt;
}

QStringList elementosTipoDocumento(QSqlDatabase db, int flagPosition, bool blankFirst, bool* ok, QString* error)
{
    struct FilaOrdenada {
        QString code;
        RegistroTipoDocumento record;
    };
    QList<FilaOrdenada> rows;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool preparada = q.prepare(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ?"));
    q.addBindValue(kDocumentTypes);
    if (informaLectura(q, preparada && q.exec(), ok, error)) {
        while (q.next()) {
            const RegistroTipoDocumento record{q.value(1).toString()};
            if (record.ofrecidoEn(flagPosition))
                rows.append({codigoDosDigitos(q.value(0).toString()), record});
        }
    }
    // By display order; types that share one keep the order of their codes.
    std::stable_sort(rows.begin(), rows.end(), [](const FilaOrdenada& a, const FilaOrdenada& b) {
        if (a.record.ordenPresentacion() != b.record.ordenPresentacion())
            return a.record.ordenPresentacion() < b.record.ordenPresentacion();
        if (a.code.size() != b.code.size())
            return a.code.size() < b.code.size();
        return a.code < b.code;
    });

    const ObjFunciones fn;
    QStringList items;
    if (blankFirst)
        items << QString(75, u' ');
    for (const FilaOrdenada& r : rows) {
        const QString& f = r.record.funcion;
        items << r.code + QStringLiteral("  -  ") + fn.AjustaTexto(r.record.nombreCorto(), 60)
                + mid(f, 46, 2).trimmed() + u' ' + mid(f, 128, 1).trimmed() + u' '
                + mid(f, 130, 1).trimmed();
    }
    return items;
}

bool revisaNumeroDocumento(QSqlDatabase db, const QString& type, const QString& number)
{
    const QString n = number.trimmed();
    if (type.trimmed().isEmpty() || n.isEmpty())
        return true;
    const std::optional<QString> funcion = paramFuncion(db, kDocumentTypes, argumentoDeTipo(type));
    if (!funcion)
        return true;
    const RegistroTipoDocumento record{*funcion};

    const bool lengthOk = record.largoExacto() ? n.size() == record.length() : n.size() <= record.length();
    const ObjFunciones fn;
    const bool charactersOk = record.claseDato() != QLatin1String("0") ? fn.DocumentoPrimerTipo(n)
                                                                       : fn.DocumentoSegundoTipo(n);
    return lengthOk && charactersOk;
}

QString nombreCortoDocumento(QSqlDatabase db, const QString& type)
{
    const std::optional<QString> funcion = paramFuncion(db, kDocumentTypes, argumentoDeTipo(type));
    if (!funcion)
        return QStringLiteral("RUC");
    return mid(*funcion, 32, 12).trimmed();
}

QList<Contribuyente> listaContribuyentes(QSqlDatabase db, const QString& sysUser, bool* ok, QString* error)
{
    const RegistroTipoDocumento ruc = registroRuc(db);
    const bool onlyElevenCharacters = ruc.length() == 11 && numeroInicial(mid(ruc.funcion, 130, 1)) == 1;
    const bool everyTaxpayer = esUsuarioSinRestriccion(tipoUsuario(db, sysUser));

    QString sql = QStringLiteral("SELECT * FROM CONT WHERE Tip_doc_d=6");
    if (!everyTaxpayer)
        sql += QStringLiteral(" AND ") + condicionMismoUsuario(QStringLiteral("Usuario"));
    sql += QStringLiteral(" ORDER BY Tip_doc_d, Doc_id_d");

    QSqlQuery q(db);
    q.setForwardOnly(true);  // read once, top to bottom: no row cache
    const bool preparada = q.prepare(sql);
    if (!everyTaxpayer)
        q.addBindValue(sysUser);
    QList<Contribuyente> list;
    if (!informaLectura(q, preparada && q.exec(), ok, error))
        return list;
    // The host's layout puts the document number second and the name fourth.
    while (q.next()) {
        const QString docId = q.value(1).toString();
        if (onlyElevenCharacters && docId.trimmed().size() != 11)
            continue;
        list.append({docId.left(11).trimmed(), q.value(3).toString()});
    }
    return list;
}

const Contribuyente* buscaContribuyente(const QList<Contribuyente>& list, const QString& ruc)
{
    for (const Contribuyente& t : list)
        if (t.docId == ruc)
            return &t;
    return nullptr;
}

MotivoRechazo motivoRechazoContribuyente(const QList<Contribuyente>& list, const QString& ruc)
{
    if (!ObjFunciones().RucValido(ruc))
        return MotivoRechazo::RucNoValido;
    return buscaContribuyente(list, ruc) ? MotivoRechazo::Ninguno : MotivoRechazo::NoListado;
}

QString nombreCortoBanco(QSqlDatabase db, const QString& code)
{
    const std::optional<QString> funcion = paramFuncion(db, kBanks, code);
    return funcion ? mid(*funcion, 38, 12).trimmed() : QString();
}
