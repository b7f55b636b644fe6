// The reference rows a fresh suite starts with. The form's own rows (its
// reports, transmission tables and version marks) are left to the installer.

#include "Suite.h"

#include "ConsultasParam.h"
#include "TransaccionSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <vector>

namespace qvrhost {
namespace {

struct FilaParam {
    QString numero;
    QString argumento;
    QString funcion;
    QString correl;
};

// PARAM 044: fixed-column record of a document type. The flags and the
// unnamed columns are those of the RUC record every program falls back on.
QString registroTipoDocumento(const QString& longName, const QString& nombreCorto, int length, int order,
                           char claseDato, char lengthKind)
{
    QString r = kRegistroRucPredeterminado;
    auto put = [&r](int position, const QString& text) { r.replace(position - 1, text.size(), text); };
    put(1, longName.leftJustified(30, u' ', true));
    put(32, nombreCorto.leftJustified(11, u' ', true));
    put(46, QStringLiteral("%1").arg(length, 2, 10, QChar(u'0')));
    put(56, QStringLiteral("%1").arg(order, 2, 10, QChar(u'0')));
    put(128, QString(QChar::fromLatin1(claseDato)));
    put(130, QString(QChar::fromLatin1(lengthKind)));
    return r;
}

void agregaTiposDocumento(std::vector<FilaParam>& rows)
{
    const QString v = QStringLiteral("001");
    rows.push_back({"044", "6", registroTipoDocumento("REG. UNICO DE CONTRIBUYENTES", "RUC", 11, 1, '5', '0'), v});
    rows.push_back({"044", "1", registroTipoDocumento("LIBRETA ELECTORAL O DNI", "L.E / DNI", 8, 2, '5', '1'), v});
    rows.push_back({"044", "4", registroTipoDocumento("CARNET DE EXTRANJERIA", "CARNET EXT.", 12, 3, '0', '0'), v});
    rows.push_back({"044", "7", registroTipoDocumento("PASAPORTE", "PASAPORTE", 12, 4, '0', '0'), v});
}

void agregaBancos(std::vector<FilaParam>& rows)
{
    struct FilaBanco { const char* code; const char* name; const char* nombreCorto; };
    static const FilaBanco banks[] = {
        {"00", "NINGUNO", ""},
        {"02", "BANCO DE CREDITO DEL PERU", "B. CREDITO"},
        {"03", "BANCO INTERNACIONAL DEL PERU", "INTERBANK"},
        {"09", "SCOTIABANK PERU", "SCOTIABANK"},
        {"11", "BBVA BANCO CONTINENTAL", "B.CONTINENT."},
        {"18", "BANCO DE LA NACION", "B. NACION"},
        {"23", "BANCO DE COMERCIO", "B. COMERCIO"},
        {"35", "BANCO FINANCIERO DEL PERU", "B.FINANCIERO"},
        {"38", "BANCO INTERAMERICANO DE FINANZAS", "BANBIF"},
    };
    for (const FilaBanco& b : banks) {
        const QString funcion = QString::fromUtf8(b.name).leftJustified(36, u' ', true) + u' '
                              + QString::fromUtf8(b.nombreCorto).leftJustified(12, u' ', true);
        rows.push_back({"004", QString::fromLatin1(b.code), funcion, "001"});
    }
}

void agregaValoresUit(std::vector<FilaParam>& rows)
{
    // UIT in force from 1 January of each year, in soles; ascending dates,
    // the order in which the yearly lookup expects them.
    static const int uit[][2] = {
        {2000, 2900}, {2001, 3000}, {2002, 3100}, {2003, 3100}, {2004, 3200}, {2005, 3300}, {2006, 3400},
        {2007, 3450}, {2008, 3500}, {2009, 3550}, {2010, 3600}, {2011, 3600}, {2012, 3650}, {2013, 3700},
        {2014, 3800}, {2015, 3850}, {2016, 3950}, {2017, 4050}, {2018, 4150}, {2019, 4200}, {2020, 4300},
        {2021, 4400}, {2022, 4600}, {2023, 4950}, {2024, 5150}, {2025, 5350}, {2026, 5500},
    };
    for (const auto& [year, amount] : uit) {
        rows.push_back({"404", QString::number(year) + QStringLiteral("0101"),
                        QStringLiteral("%1.00").arg(amount, 8, 10, QChar(u'0')),
                        year == 2004 ? QStringLiteral("011") : QStringLiteral("010")});
    }
}

void agregaFactoresEIndices(std::vector<FilaParam>& rows)
{
    static const char* const factors[][3] = {
        {"2003", "1.011", "001"}, {"2004", "1.028", "000"}, {"2005", "1.016", "000"},
        {"2006", "1.014", "000"}, {"2007", "1.023", "000"}, {"2008", "1.052", "000"},
    };
    for (const auto& f : factors)
        rows.push_back({"960", QString::fromLatin1(f[0]), QString::fromLatin1(f[1]), QString::fromLatin1(f[2])});

    // Wholesale price index by month; December 2002 must be present for the
    // form to accept new declarations.
    static const char* const indices[][2] = {
        {"200112", "155.275836"}, {"200203", "155.880273"}, {"200212", "157.231609"},
        {"200303", "159.876544"}, {"200312", "160.976528"}, {"200403", "163.025741"},
        {"200412", "168.436287"}, {"200503", "169.192016"},
    };
    for (const auto& i : indices)
        rows.push_back({"975", QString::fromLatin1(i[0]), QString::fromLatin1(i[1]), "001"});
}

void agregaPaises(std::vector<FilaParam>& rows)
{
    static const char* const countries[][2] = {
        {"0604", "PERU"}, {"0032", "ARGENTINA"}, {"0076", "BRASIL"}, {"0152", "CHILE"},
        {"0170", "COLOMBIA"}, {"0218", "ECUADOR"}, {"0724", "ESPAÑA"}, {"0840", "ESTADOS UNIDOS DE AMERICA"},
    };
    for (const auto& c : countries)
        rows.push_back({"976", QString::fromLatin1(c[0]), QString::fromUtf8(c[1]).leftJustified(36), "001"});
}

std::vector<FilaParam> filasParam()
{
    std::vector<FilaParam> rows;
    agregaTiposDocumento(rows);
    agregaBancos(rows);
    agregaValoresUit(rows);
    agregaFactoresEIndices(rows);
    agregaPaises(rows);
    // The tables whose versions a declaration of 0834 records, one every
    // four characters; and the form's registration mark.
    rows.push_back({"981", "0834", "404 960 044 004", "001"});
    rows.push_back({"992", "0834", "1", ""});
    return rows;
}

struct Contribuyente {
    const char* ruc;
    const char* name;
    const char* user;
};

// Every RUC carries its modulus-11 check digit.
const Contribuyente kTaxpayers[] = {
    {"20100123453", "DISTRIBUIDORA ANDINA S.A.C.", "ADMIN"},
    {"20501234568", "INDUSTRIAS TEXTILES DEL SUR S.A.", "ADMIN"},
    {"20602345671", "CONSTRUCTORA LOS PINOS S.R.L.", "ADMIN"},
    {"20134567890", "AGROEXPORTADORA VALLE VERDE S.A.", "ADMIN"},
    {"20456789120", "TRANSPORTES RÁPIDOS DEL NORTE S.A.C.", "ADMIN"},
    {"20712345617", "MINERA O'HIGGINS CERRO AZUL S.A.A.", "ADMIN"},
    {"10405060707", "QUISPE MAMANI ROSA ELENA", "ADMIN"},
    {"15087654327", "SUCESIÓN INDIVISA PAREDES LUNA", "CONTADOR"},
    {"16001122332", "SOCIEDAD CONYUGAL MUÑOZ VEGA", "CONTADOR"},
    {"17123456785", "ASOCIACIÓN CULTURAL PERUANO ALEMANA", "CONTADOR"},
    {"20523456785", "FERRETERÍA EL CONSTRUCTOR E.I.R.L.", "CONTADOR"},
    {"20611122234", "SERVICIOS GENERALES AREQUIPA S.A.C.", "CONTADOR"},
};

const char* const kMessages[][2] = {
    {"0007", "Debe ingresar un valor numérico."},
    {"0101", "El RUC no es válido."},
    {"0150", "No existe información para el período seleccionado."},
    {"0151", "La declaración ha sido grabada satisfactoriamente."},
    {"0152", "La declaración ha sido eliminada satisfactoriamente."},
    {"0153", "La declaración ha sido enviada satisfactoriamente."},
};

bool ejecutaConsulta(QSqlQuery& q, QString* error)
{
    if (q.exec())
        return true;
    *error = q.lastError().text();
    return false;
}

} // namespace

QString insertaFilasMuestra(QSqlDatabase db)
{
    TransaccionSql transaccion(db);
    if (!transaccion.abierta())
        return transaccion.error();
    if (const QString error = escribeFilasMuestra(db); !error.isEmpty())
        return error;
    if (!transaccion.confirmar())
        return transaccion.error();
    return {};
}

QString escribeFilasMuestra(QSqlDatabase db)
{
    QString error;

    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) VALUES (?, ?)"));
    for (const auto& [user, type] : {std::pair{"ADMIN", "0"}, std::pair{"CONTADOR", "1"}}) {
        q.addBindValue(QString::fromLatin1(user));
        q.addBindValue(QString::fromLatin1(type));
        if (!ejecutaConsulta(q, &error))
            return error;
    }

    q.prepare(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES (?, ?)"));
    for (const auto& m : kMessages) {
        q.addBindValue(QString::fromLatin1(m[0]));
        q.addBindValue(QString::fromUtf8(m[1]));
        if (!ejecutaConsulta(q, &error))
            return error;
    }

    q.prepare(QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES (?, ?, ?, ?)"));
    for (const FilaParam& p : filasParam()) {
        q.addBindValue(p.numero);
        q.addBindValue(p.argumento);
        q.addBindValue(p.funcion);
        q.addBindValue(p.correl);
        if (!ejecutaConsulta(q, &error))
            return error;
    }

    q.prepare(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) VALUES (6, ?, 1, ?, ?)"));
    for (const Contribuyente& t : kTaxpayers) {
        q.addBindValue(QString::fromLatin1(t.ruc));
        q.addBindValue(QString::fromUtf8(t.name));
        q.addBindValue(QString::fromLatin1(t.user));
        if (!ejecutaConsulta(q, &error))
            return error;
    }

    return {};
}

} // namespace qvrhost
