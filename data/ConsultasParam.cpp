#include "ConsultasParam.h"

#include "LoteSql.h"
#include "ObjFunciones.h"
#include "ConsultasSesion.h"

#include <QSqlError>
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
bool informaLectura(const std::optional<LoteSql::Resultado>& leida, const QSqlError& fallo, bool* ok,
                    QString* error)
{
    if (ok)
        *ok = leida.has_value();
    if (!leida && error)
        *error = fallo.text();
    return leida.has_value();
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
    const auto r = LoteSql::una(db, QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"),
                                {numero, argumento});
    if (r && !r->filas.isEmpty())
        return r->filas.first()[0].toString();
    return std::nullopt;
}

QStringList elementosTipoDocumento(QSqlDatabase db, int flagPosition, bool blankFirst, bool* ok, QString* error)
{
    struct FilaOrdenada {
        QString code;
        RegistroTipoDocumento record;
    };
    QList<FilaOrdenada> rows;
    QSqlError fallo;
    const auto leidas = LoteSql::una(db, QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ?"),
                                     {kDocumentTypes}, &fallo);
    if (informaLectura(leidas, fallo, ok, error)) {
        for (const QVariantList& f : leidas->filas) {
            const RegistroTipoDocumento record{f[1].toString()};
            if (record.ofrecidoEn(flagPosition))
                rows.append({codigoDosDigitos(f[0].toString()), record});
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

    const bool lengthOk = record.largoExacto() ? n.size() == record.longitud() : n.size() <= record.longitud();
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

PedidoContribuyentes pedirContribuyentes(LoteSql& lote, const QString& sysUser)
{
    // A user of type "0" sees every taxpayer, any other only the ones
    // registered under his name (also when his type cannot be told).
    PedidoContribuyentes p;
    p.tipoRuc = lote.agregar(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"),
                             {kDocumentTypes, QStringLiteral("6")});
    p.contribuyentes = lote.agregar(
        QStringLiteral("SELECT * FROM CONT WHERE Tip_doc_d=6 AND ") + condicionVisiblePara(QStringLiteral("Usuario"))
            + QStringLiteral(" ORDER BY Tip_doc_d, Doc_id_d"),
        {sysUser, sysUser});
    return p;
}

QList<Contribuyente> contribuyentesDe(const LoteSql& lote, const PedidoContribuyentes& p)
{
    const QList<QVariantList>& filasRuc = lote.resultado(p.tipoRuc).filas;
    const RegistroTipoDocumento ruc{filasRuc.isEmpty() ? kRegistroRucPredeterminado : filasRuc.first()[0].toString()};
    const bool onlyElevenCharacters = ruc.longitud() == 11 && numeroInicial(mid(ruc.funcion, 130, 1)) == 1;
    QList<Contribuyente> list;
    // The host's layout puts the document number second and the name fourth.
    for (const QVariantList& f : lote.resultado(p.contribuyentes).filas) {
        const QString docId = f[1].toString();
        if (onlyElevenCharacters && docId.trimmed().size() != 11)
            continue;
        list.append({docId.left(11).trimmed(), f[3].toString()});
    }
    return list;
}

QList<Contribuyente> listaContribuyentes(QSqlDatabase db, const QString& sysUser, bool* ok, QString* error)
{
    // The RUC's document type and the taxpayers in one read.
    LoteSql lote;
    const PedidoContribuyentes p = pedirContribuyentes(lote, sysUser);
    const bool leida = lote.ejecutar(db);
    if (ok)
        *ok = leida;
    if (!leida) {
        if (error)
            *error = lote.error().text();
        return {};
    }
    return contribuyentesDe(lote, p);
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
    return funcion ? nombreCortoDeBanco(*funcion) : QString();
}

QString nombreCortoDeBanco(const QString& funcion) { return mid(funcion, 38, 12).trimmed(); }
