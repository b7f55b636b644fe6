#include "Grabacion834.h"

#include "Anexo105Datos.h"
#include "Casillas834.h"
#include "CodigoControl.h"
#include "Formato834.h"
#include "MotorSql.h"
#include "ObjFunciones.h"
#include "ConsultasParam.h"
#include "Parametros834.h"
#include "ConsultasSesion.h"
#include "LoteSql.h"
#include "TransaccionSql.h"

#include <QSqlError>
#include <QHash>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>

namespace grabacion834 {

using lectura834::bindClave;
using lectura834::condicionClave;
using validacion834::Foco;
using validacion834::Icono;
using validacion834::Resultado;
namespace vtexto = validacion834::texto;

namespace {

constexpr int kTabIdentificacion = static_cast<int>(casillas834::Pestana::Identificacion);
constexpr int kTabComplementaria = static_cast<int>(casillas834::Pestana::Complementaria);

// Rows are written column by column as the record set did: the record keeps
// the table's physical column order (the control code depends on it) and the
// names of the columns that were set, which are the ones written.
class Fila {
public:
    Fila(const QSqlRecord& registro, bool existe) : registro_(registro), existe_(existe) {}
    void poner(const QString& columna, const QVariant& valor)
    {
        registro_.setValue(columna, valor);
        if (!puestas_.contains(columna, Qt::CaseInsensitive))
            puestas_ << columna;
    }
    // The key columns of a new row (RUC, document type 6, period, form).
    void ponerClave(const lectura834::Clave& k)
    {
        poner(QStringLiteral("Doc_id_d"), k.ruc);
        poner(QStringLiteral("Tip_doc_d"), 6);
        poner(QStringLiteral("Periodo"), k.periodo);
        poner(QStringLiteral("Formulario"), k.formulario);
    }
    bool existe() const { return existe_; }
    const QSqlRecord& registro() const { return registro_; }
    // The row as the table holds it once written: nothing when a new row
    // leaves a column unset (the table's default would fill it).
    std::optional<QVariantList> guardada() const
    {
        if (!existe_ && puestas_.size() < registro_.count())
            return std::nullopt;
        QVariantList valores;
        for (int i = 0; i < registro_.count(); ++i)
            valores << registro_.value(i);
        return valores;
    }

    // INSERT of the columns set, or UPDATE of them for the row of the key
    // (the condition's values follow), added to the batch.
    void escribir(LoteSql& lote, const QString& tabla, const QString& condicion,
                  const QVariantList& valoresCondicion) const
    {
        QVariantList valores;
        for (const QString& c : puestas_)
            valores << registro_.value(c);
        if (existe_) {
            QStringList asignaciones;
            for (const QString& c : puestas_)
                asignaciones << c + QStringLiteral(" = ?");
            lote.agregar(QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ") + asignaciones.join(u", ")
                             + condicion,
                         valores + valoresCondicion);
        } else {
            lote.agregar(QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (") + puestas_.join(u", ")
                             + QStringLiteral(") VALUES (")
                             + QStringList(puestas_.size(), QStringLiteral("?")).join(u", ") + u')',
                         valores);
        }
    }

private:
    QSqlRecord registro_;
    bool existe_;
    QStringList puestas_;
};

// Row `fila` of a read (a blank one, -1, laid out like the columns read):
// the record keeps the columns in the table's physical order.
QSqlRecord registroDe(const LoteSql::Resultado& r, int fila)
{
    QSqlRecord registro;
    for (qsizetype i = 0; i < r.columnas.size(); ++i) {
        QSqlField campo(r.columnas[i]);
        if (fila >= 0)
            campo.setValue(r.filas[fila][i]);
        registro.append(campo);
    }
    return registro;
}

// The row the read found, or a blank one laid out like the table when there is none.
Fila filaLeida(const LoteSql::Resultado& r)
{
    return r.filas.isEmpty() ? Fila(registroDe(r, -1), false) : Fila(registroDe(r, 0), true);
}

// The rows of `tabla` selected by the condition, as one read of its own.
std::optional<Fila> abrirFila(QSqlDatabase& db, const QString& tabla, const QString& condicion,
                              const QVariantList& valoresCondicion, QString* error)
{
    LoteSql lote;
    lote.agregar(QStringLiteral("SELECT * FROM ") + tabla + condicion, valoresCondicion);
    if (!lote.ejecutar(db)) {
        *error = lote.error().text();
        return std::nullopt;
    }
    if (lote.resultado(0).columnas.isEmpty()) {
        *error = QStringLiteral("table %1 not found").arg(tabla);
        return std::nullopt;
    }
    return filaLeida(lote.resultado(0));
}

// Numeric value as the suite's Val() reads it: blanks ignored, then the
// leading signed decimal number; 0 when there is none.
Dinero val(const QString& texto)
{
    QString t = texto;
    t.remove(u' ');
    qsizetype fin = 0;
    if (fin < t.size() && (t[fin] == u'-' || t[fin] == u'+'))
        ++fin;
    while (fin < t.size() && t[fin].isDigit() && t[fin].unicode() < 128)
        ++fin;
    if (fin < t.size() && t[fin] == u'.') {
        ++fin;
        while (fin < t.size() && t[fin].isDigit() && t[fin].unicode() < 128)
            ++fin;
    }
    return Dinero::analiza(t.left(fin)).value_or(Dinero());
}

bool esCodigoTexto(int codigo)
{
    static constexpr int kTexto[] = {209, 7, 225, 15, 812, 220, 224, 211, 212, 226, 721, 722, 221};
    return std::find(std::begin(kTexto), std::end(kTexto), codigo) != std::end(kTexto);
}

QString textoSiNoNulo(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

// An unanswered or blank value is stored as "", never as Null: other
// programs of the suite read these columns as text.
QString textoNoNulo(const QString& s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

// ---- The steps of the save, each on the open transaction.

// Returns the header row as stored afterwards, in the table's column order;
// nothing when a new row leaves a column to the table's default.
std::optional<QVariantList> grabarCabecera(LoteSql& lote, const LoteSql::Resultado& leida, const Declaracion834& d,
                                           const lectura834::Clave& k, int estado, const QDate& hoy)
{
    Fila f = filaLeida(leida);
    if (!f.existe())
        f.ponerClave(k);
    f.poner(QStringLiteral("fec_pro"), hoy.toString(QStringLiteral("dd/MM/yyyy")));
    const FormaDePago& pago = d.pago();
    const QString blanco = QStringLiteral(" ");
    const QString importe = d.vacio(180) ? QString() : formato834::plano(d.Vale(180));
    if (pago.formapago == u"C") {
        f.poner(QStringLiteral("bcolibrad"), pago.banco);
        f.poner(QStringLiteral("nrocheque"), pago.numcheque);
        f.poner(QStringLiteral("cheque"), textoNoNulo(importe));
        f.poner(QStringLiteral("efectivo"), blanco);
    } else {
        f.poner(QStringLiteral("bcolibrad"), blanco);
        f.poner(QStringLiteral("nrocheque"), blanco);
        f.poner(QStringLiteral("cheque"), blanco);
        f.poner(QStringLiteral("efectivo"), importe.isEmpty() ? blanco : importe);
    }
    f.poner(QStringLiteral("estado"), estado);
    f.poner(QStringLiteral("rectifica"), textoNoNulo(d.respuesta(Declaracion834::Pregunta::Rectifica)));
    f.poner(QStringLiteral("cNumero"), codigoControl(f.registro(), kControlCountCab));
    f.escribir(lote, QStringLiteral("CAB"), condicionClave(false), lectura834::valoresClave(k, false));
    return f.guardada();
}

// Every detail row goes except the box-105 detail (546 to 555), which
// belongs to the assistant. The range is judged here on Val(Casilla).
bool fueraDelDetalle105(const QVariant& casilla)
{
    const Dinero n = val(textoSiNoNulo(casilla));
    return n < Dinero::deEntero(kPrimeraDeduccion) || n > Dinero::deEntero(kUltimaDeduccion);
}

// The DET rows the save writes (GrabaCasilla), each laid out like the table
// as read: its physical column order, on which the control code depends.
// The values bound are the values the stored version then holds, so the
// stamp of the version written is known without reading it back.
class FilasDetalle {
public:
    FilasDetalle(const LoteSql::Resultado& det, const lectura834::Clave& k)
        : clave_(k)
    {
        static const QStringList kConocidas{QStringLiteral("Tip_doc_d"), QStringLiteral("Doc_id_d"),
                                            QStringLiteral("Periodo"),   QStringLiteral("Formulario"),
                                            QStringLiteral("Casilla"),   QStringLiteral("i_valor"),
                                            QStringLiteral("idcasilla"), QStringLiteral("cNumero")};
        for (const QString& c : det.columnas) {
            qsizetype i = kConocidas.size() - 1;
            while (i >= 0 && kConocidas[i].compare(c, Qt::CaseInsensitive) != 0)
                --i;
            cual_ << i;
            if (i >= 0)
                puestas_ << c;
        }
        completas_ = puestas_.size() == det.columnas.size() && puestas_.size() == kConocidas.size();
    }

    // GrabaCasilla: the row of one code, nothing for a value that is none.
    void grabaCasilla(const QString& codigo, const QString& valor)
    {
        if (!sinValor(valor))
            agregar(codigo, valorAlmacenado(codigo, valor), idCasilla(codigo));
    }
    // A row of the box-105 detail, its amount as the assistant stores it.
    void grabaDeduccion(const QString& codigo, const QString& valorGuardado)
    {
        if (!valorGuardado.isEmpty())
            agregar(codigo, valorGuardado, QStringLiteral("01"));
    }

    // One INSERT per row, the same statement each time: SQLite prepares it
    // once and runs it per row; on the server the batch sends them together.
    void escribir(LoteSql& lote) const
    {
        const QString sql = QStringLiteral("INSERT INTO DET (") + puestas_.join(u", ") + QStringLiteral(") VALUES (")
                            + QStringList(puestas_.size(), QStringLiteral("?")).join(u", ") + u')';
        for (const QVariantList& fila : filas_) {
            QVariantList valores;
            valores.reserve(puestas_.size());
            for (qsizetype i = 0; i < fila.size(); ++i)
                if (cual_[i] >= 0)
                    valores << fila[i];
            lote.agregar(sql, valores);
        }
    }
    // Every column of the table is one the save sets: the rows written are
    // the rows stored.
    bool completas() const { return completas_; }
    const QList<QVariantList>& filas() const { return filas_; }

private:
    void agregar(const QString& codigo, const QString& valor, const QString& idcasilla)
    {
        const QVariant valores[] = {6, clave_.ruc, clave_.periodo, clave_.formulario, codigo, valor, idcasilla,
                                    QVariant()};
        QVariantList fila;
        fila.reserve(cual_.size());
        for (qsizetype i = 0; i < cual_.size(); ++i)
            fila << (cual_[i] >= 0 ? valores[cual_[i]] : QVariant());
        const QString codigoFila = codigoControl(fila, kControlCountDet);
        for (qsizetype i = 0; i < cual_.size(); ++i)
            if (cual_[i] == 7)
                fila[i] = codigoFila;
        filas_ << fila;
    }

    lectura834::Clave clave_;
    QList<qsizetype> cual_;   // per column of the table: its place among the columns the save sets, or -1
    QStringList puestas_;
    bool completas_ = false;
    QList<QVariantList> filas_;
};

// The position of a column read, its name without regard to case (the
// server folds unquoted names to lower case); -1 when it is not there.
qsizetype indiceColumna(const LoteSql::Resultado& r, const QString& nombre)
{
    for (qsizetype i = 0; i < r.columnas.size(); ++i)
        if (r.columnas[i].compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Deletes the DET rows of the key whose Casilla `borrar` accepts: every row
// of the key but the few kept (the transaction holds the rows as read).
// Returns the rows kept.
QList<QVariantList> borrarDetalle(LoteSql& lote, const LoteSql::Resultado& det, const lectura834::Clave& k,
                                  const std::function<bool(const QVariant&)>& borrar)
{
    const qsizetype indice = indiceColumna(det, QStringLiteral("Casilla"));
    QVariantList conservadas;
    QList<QVariantList> filas;
    for (const QVariantList& fila : det.filas) {
        if (indice >= 0 && borrar(fila[indice]))
            continue;
        filas << fila;
        if (indice >= 0)
            conservadas << fila[indice];
    }
    if (filas.size() == det.filas.size())
        return filas;
    QString sql = QStringLiteral("DELETE FROM DET") + condicionClave(false);
    if (!conservadas.isEmpty())
        sql += QStringLiteral(" AND Casilla NOT IN (") + QStringList(conservadas.size(), QStringLiteral("?")).join(u", ")
               + u')';
    lote.agregar(sql, lectura834::valoresClave(k, false) + conservadas);
    return filas;
}

// The value of column `nombre` in the first row read ("" when there is none).
QString primerValor(const LoteSql::Resultado& r, const QString& nombre)
{
    const qsizetype i = indiceColumna(r, nombre);
    return i < 0 || r.filas.isEmpty() ? QString() : textoSiNoNulo(r.filas.first()[i]);
}

// A stored declaration other than the box-105 assistant's placeholder
// (cNumero "0"), which a new declaration's own assistant may have left.
bool existeGuardada(const LoteSql::Resultado& cab)
{
    return !cab.filas.isEmpty() && primerValor(cab, QStringLiteral("cNumero")).trimmed() != u"0";
}

// The reads of PARAM behind the check sum (code "722"): the rows of PARAM
// 981, and the rows of the tables one of them may list (the list itself is
// judged afterwards, position by position). Where reads are sent together,
// the statement splits the lists itself ("404 960 044 ...", three digits
// every four places) so that both travel at once; elsewhere the tables are
// read by key once the lists are known.
struct PedidoParametros {
    int lista = -1;
    int listadas = -1;
};

PedidoParametros pedirParametros(LoteSql& lote, bool juntas)
{
    const QVariantList numero{QStringLiteral("981")};
    PedidoParametros p;
    p.lista = lote.agregar(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? ORDER BY Argumento"),
                           numero);
    if (juntas)
        p.listadas = lote.agregar(QStringLiteral("WITH RECURSIVE partes(resto, numero) AS ("
                                                 " SELECT CAST(Funcion AS TEXT), CAST('' AS TEXT) FROM PARAM"
                                                 " WHERE Numero = ? UNION ALL SELECT substr(resto, 5), substr(resto, 1, 3)"
                                                 " FROM partes WHERE resto <> '')"
                                                 " SELECT Numero, Correl_param FROM PARAM"
                                                 " WHERE Numero IN (SELECT numero FROM partes)"),
                                  numero);
    return p;
}

// The list of the form's own PARAM 981 row.
QString listaDe(const LoteSql& lote, const PedidoParametros& p)
{
    for (const QVariantList& f : lote.resultado(p.lista).filas)
        if (textoSiNoNulo(f[0]).startsWith(parametros834::kFormulario))
            return textoSiNoNulo(f[1]);
    return {};
}

// The rows of the listed tables, read now when they were not read with the list.
std::optional<QList<QVariantList>> listadasDe(QSqlDatabase db, const LoteSql& lote, const PedidoParametros& p,
                                              QString* error)
{
    if (p.listadas >= 0)
        return lote.resultado(p.listadas).filas;
    const QString lista = listaDe(lote, p);
    QVariantList numeros;
    for (qsizetype pos = 0; pos < lista.size(); pos += 4)
        numeros << lista.mid(pos, 3);
    if (numeros.isEmpty())
        return QList<QVariantList>();
    QSqlError fallo;
    const auto r = LoteSql::una(db, QStringLiteral("SELECT Numero, Correl_param FROM PARAM WHERE Numero IN (")
                                        + QStringList(numeros.size(), QStringLiteral("?")).join(u", ") + u')',
                                numeros, &fallo);
    if (!r) {
        *error = fallo.text();
        return std::nullopt;
    }
    return r->filas;
}

QString sumaDe(const QString& lista, const QList<QVariantList>& listadas)
{
    Dinero total;
    for (qsizetype pos = 0; pos < lista.size(); pos += 4) {
        const QString numero = lista.mid(pos, 3);
        Dinero correlativos;
        for (const QVariantList& f : listadas)
            if (textoSiNoNulo(f[0]) == numero)
                correlativos += val(textoSiNoNulo(f[1]).trimmed());
        total += val(numero) * correlativos;
    }
    return formato834::textoFactor(total);
}

// What a commit whose answer was lost did: the connection is opened again and,
// once the lost session's transaction has ended (its reservation of CAB is
// waited for), the stored stamp is that of the version sent or not. Nothing
// when the server cannot be reached or does not answer in time.
std::optional<bool> confirmadaTrasCorte(QSqlDatabase db, const lectura834::Clave& k, const QString& selloEnviado)
{
    if (!reabrirConexion(db))
        return std::nullopt;
    TransaccionSql espera(db, QStringLiteral("CAB"));
    if (!espera.abierta())
        return std::nullopt;
    bool leido = false;
    const QString actual = lectura834::sello(db, k, &leido);
    if (!leido)
        return std::nullopt;
    return actual == selloEnviado;
}

// Whether the save may go on over what the key holds now. A key that holds
// nothing, or only the assistant's placeholder, holds no declaration: saving
// there stores a new one, whatever stamp the caller kept. Over a stored
// declaration, the caller's stamp must still be the stored one; without a
// stamp, a new declaration (iAccion 0) must not overwrite it.
bool sigueSiendoLaLeida(const LoteSql::Resultado& cab, const LoteSql::Resultado& det, const Declaracion834& d,
                        const std::optional<QString>& selloLeido, Grabado& r)
{
    if (!existeGuardada(cab))
        return true;
    if (!selloLeido) {
        r.yaExiste = d.iAccion == 0;
        return !r.yaExiste;
    }
    const QString actual = lectura834::selloDe(cab, det);
    if (actual == *selloLeido)
        return true;
    r.modificada = true;
    r.sello = actual;
    return false;
}

} // namespace

lectura834::Clave clave(const Declaracion834& d)
{
    lectura834::Clave k;
    k.ruc = d.dato(Declaracion834::Dato::Ruc).trimmed();
    k.periodo = d.periodo().trimmed();
    k.enviada = d.bEnviada;
    k.correl = d.sCorrel;
    return k;
}

bool sinValor(const QString& valor)
{
    const QString t = valor.trimmed();
    return t.isEmpty() || valor == u"\t" || valor == u"\n" || valor == u"\r" || t == u"________";
}

QString valorAlmacenado(const QString& codigo, const QString& valor)
{
    const int n = numeroInicial(codigo);
    if (esCodigoTexto(n) || !validacion834::esNumero(valor))
        return valor;
    Dinero m = formato834::leer(valor);
    const casillas834::Casilla* c = casillas834::buscar(n);
    if (c && c->restada && m.esNegativo())
        m = -m;
    return formato834::plano(m);
}

QString idCasilla(const QString& codigo)
{
    return numeroInicial(codigo) == 180 ? QStringLiteral("05") : QStringLiteral("01");
}

Resultado verificarGrabacion(const Declaracion834& d, const validacion834::Contexto& c)
{
    const QString ruc = c.rucMostrado.trimmed();
    const QDate hoy = c.hoy ? c.hoy() : QDate::currentDate();
    const bool nueva = d.iAccion == 0;
    if (nueva && ruc.isEmpty())
        return Resultado::fallaYLuegoPestana(vtexto::kSeleccioneContribuyente, kTabIdentificacion, Foco::CmbRuc);
    if (nueva && c.nuevaDeclaracion == u"N")
        return Resultado::fallaYLuegoPestana(vtexto::kYaExiste, kTabIdentificacion, Foco::CmbRuc);
    // Without the declaration's own RUC the rows would be keyed by nothing.
    if (clave(d).ruc.isEmpty())
        return Resultado::fallaYLuegoPestana(vtexto::kSeleccioneContribuyente, kTabIdentificacion, Foco::CmbRuc);
    if (!validacion834::ValidaPeriodo(c.ejercicio, hoy) || !validacion834::ValidaPeriodo(d.periodo().trimmed(), hoy))
        return Resultado::fallaYLuegoPestana(vtexto::kEjercicioInvalido, kTabIdentificacion, Foco::MkePeriodo);

    const QString tipo = validacion834::tipoDocumentoRL(d);
    const QString doc = d.casilla(226).trimmed();
    if (tipo == u"06" && !doc.isEmpty()
        && (!revisaNumeroDocumento(c.db, QStringLiteral("06"), doc) || !ObjFunciones().RucValido(doc)))
        return Resultado::fallaYLuegoPestana(texto::kRucNoValido, kTabComplementaria, Foco::Casilla226);
    if (!doc.isEmpty() && doc == ruc)
        return Resultado::fallaYLuegoPestana(vtexto::kRucIgual, kTabComplementaria, Foco::Casilla226);
    if (tipo == u"01" && d.casilla(226).size() != 8)
        return Resultado::fallaYLuegoPestana(vtexto::kDniOcho, kTabComplementaria, Foco::Casilla226);
    if (d.dato(Declaracion834::Dato::ApellidoRL).trimmed().isEmpty())
        return Resultado::fallaYLuegoPestana(vtexto::kApellidos, kTabComplementaria, Foco::ApellidoRL);
    if (d.dato(Declaracion834::Dato::NombreRL).trimmed().isEmpty())
        return Resultado::fallaYLuegoPestana(vtexto::kNombres, kTabComplementaria, Foco::NombreRL);
    return Resultado::bien();
}

bool sumaParametros(const QSqlDatabase& db, QString* suma, QString* error)
{
    LoteSql lote;
    const PedidoParametros p = pedirParametros(lote, lecturasJuntas(db));
    if (!lote.ejecutar(db)) {
        *error = lote.error().text();
        return false;
    }
    const std::optional<QList<QVariantList>> listadas = listadasDe(db, lote, p, error);
    if (!listadas)
        return false;
    *suma = sumaDe(listaDe(lote, p), *listadas);
    return true;
}

namespace {

Grabado grabarEnTransaccion(QSqlDatabase db, const Declaracion834& d, const validacion834::Contexto& c,
                            const std::optional<Detalle105>& deducciones, const std::optional<QString>& selloLeido)
{
    Grabado r;
    r.estado = validacion834::ValidaGrabacion(d, c) ? 0 : 9;
    const lectura834::Clave k = clave(d);
    TransaccionSql transaccion(db, QStringLiteral("CAB"));
    if (!transaccion.abierta()) {
        r.error = transaccion.error();
        r.bloqueada = motorsql::esBloqueo(transaccion.errorSql());
        return r;
    }
    // One read for all the save needs to know: the stored version (its stamp,
    // whether it exists, its header row and detail codes) and the PARAM rows
    // of the check sum. On a server far away every statement is a round trip.
    LoteSql lectura;
    const lectura834::PedidoVersion guardada = lectura834::pedirVersion(lectura, k);
    const PedidoParametros parametros = pedirParametros(lectura, lecturasJuntas(db));
    if (!lectura.ejecutar(db)) {
        r.error = lectura.error().text();
        return r;
    }
    const LoteSql::Resultado& cab = lectura.resultado(guardada.cab);
    const LoteSql::Resultado& det = lectura.resultado(guardada.det);
    if (cab.columnas.isEmpty() || det.columnas.isEmpty()) {
        r.error = QStringLiteral("table CAB or DET not found");
        return r;
    }
    if (!sigueSiendoLaLeida(cab, det, d, selloLeido, r))
        return r;

    // Every write in one batch.
    LoteSql escritura;
    const std::optional<QVariantList> cabecera =
        grabarCabecera(escritura, cab, d, k, r.estado, c.hoy ? c.hoy() : QDate::currentDate());
    const auto aBorrar = [&deducciones](const QVariant& casilla) {
        return fueraDelDetalle105(casilla) || (deducciones && anexo105::esDeduccion(casilla));
    };
    const QList<QVariantList> conservadas = borrarDetalle(escritura, det, k, aBorrar);
    FilasDetalle filas(det, k);
    if (deducciones)
        for (int i = 0; i < anexo105::kDeducciones; ++i)
            filas.grabaDeduccion(QString::number(kPrimeraDeduccion + i), anexo105::valorGuardado((*deducciones)[i]));
    for (int numero : casillas834::vCasillas())
        filas.grabaCasilla(QString::number(numero), d.casilla(numero).trimmed());
    const std::optional<QList<QVariantList>> listadas = listadasDe(db, lectura, parametros, &r.error);
    if (!listadas)
        return r;
    const QString suma = sumaDe(listaDe(lectura, parametros), *listadas);
    for (const QString& codigo : Declaracion834::codigosNoCasilla())
        filas.grabaCasilla(codigo, codigo == u"722" ? suma : d.valorCodigo(codigo));
    filas.escribir(escritura);
    // The stamp of the version written: from the rows written and the rows
    // kept when they are all the table holds, read back otherwise.
    const bool conocida = cabecera && filas.completas();
    lectura834::PedidoVersion nueva;
    if (!conocida)
        nueva = lectura834::pedirVersion(escritura, k);
    if (!escritura.ejecutar(db)) {
        r.error = escritura.error().text();
        return r;
    }
    if (conocida) {
        LoteSql::Resultado cabNueva, detNueva;
        cabNueva.filas << *cabecera;
        detNueva.filas = conservadas + filas.filas();
        r.sello = lectura834::selloDe(cabNueva, detNueva);
    } else {
        r.sello = lectura834::selloDe(escritura.resultado(nueva.cab), escritura.resultado(nueva.det));
    }
    if (!transaccion.confirmar()) {
        r.error = transaccion.error();
        r.bloqueada = motorsql::esBloqueo(transaccion.errorSql());
        if (conexionPerdida(transaccion.errorSql())) {
            const std::optional<bool> guardada = confirmadaTrasCorte(db, k, r.sello);
            r.ok = guardada.value_or(false);
            r.incierta = !guardada;
            if (r.ok)
                r.error.clear();
        }
        if (!r.ok && !r.incierta)
            r.sello.clear();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace

Grabado grabar(QSqlDatabase db, const Declaracion834& d, const validacion834::Contexto& c,
               const std::optional<Detalle105>& deducciones, const std::optional<QString>& selloLeido)
{
    Grabado r = grabarEnTransaccion(db, d, c, deducciones, selloLeido);
    // A statement that failed on a connection now gone: the server rolled the
    // save back. The connection is opened again for the next try when it can be.
    if (!r.ok && !r.incierta && !r.error.isEmpty() && !conexionViva(db)) {
        r.conexionPerdida = true;
        reabrirConexion(db);
    }
    return r;
}

Resultado mensajeGrabado(const QSqlDatabase& db, int estado)
{
    if (estado == 9)
        return Resultado::falla(texto::kGrabadaConInconsistencias, -1, Foco::Ninguno, Icono::Exclamacion);
    return Resultado::falla(textoError(db, 151), -1, Foco::Ninguno, Icono::Informacion);
}

Resultado mensajeFallo(const QString& error)
{
    return Resultado::falla(texto::kNoGrabada + u'\n' + error, -1, Foco::Ninguno, Icono::Critico);
}

Resultado mensajeFallo(const Grabado& g)
{
    if (g.yaExiste)
        return Resultado::falla(vtexto::kYaExiste, kTabIdentificacion, Foco::CmbRuc);
    if (g.modificada)
        return Resultado::falla(texto::kModificada, -1, Foco::Ninguno, Icono::Exclamacion);
    if (g.incierta)
        return Resultado::falla(texto::kGrabacionIncierta, -1, Foco::Ninguno, Icono::Critico);
    if (g.conexionPerdida)
        return Resultado::falla(texto::kConexionPerdida + u'\n' + g.error, -1, Foco::Ninguno, Icono::Critico);
    // The driver's own words for a lock say nothing to the user.
    return mensajeFallo(g.bloqueada ? texto::kBaseOcupada : g.error);
}

bool eliminarBorrador(QSqlDatabase db, const QString& ruc, const QString& periodo, QString* error)
{
    lectura834::Clave k;
    k.ruc = ruc.trimmed();
    k.periodo = periodo.trimmed();
    if (k.ruc.isEmpty())
        return false;
    bool ok = false;
    const std::optional<lectura834::Cabecera> cab = lectura834::leerCabecera(db, k, &ok);
    if (!ok) {
        *error = db.lastError().text();
        return false;
    }
    if (!cab || cab->cNumero != u"0")
        return false;
    TransaccionSql transaccion(db, QStringLiteral("CAB"));
    if (!transaccion.abierta()) {
        *error = transaccion.error();
        return false;
    }
    for (const QString& tabla : {QStringLiteral("CAB"), QStringLiteral("DET")}) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM ") + tabla + condicionClave(false));
        bindClave(q, k, false);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
    }
    if (!transaccion.confirmar()) {
        *error = transaccion.error();
        return false;
    }
    return true;
}

Registro registrarNumeroOrden(QSqlDatabase db, const Declaracion834& d, const VerificaOrden& verifica)
{
    Registro r;
    const QString orden8 = d.dato(Declaracion834::Dato::NumOrden).trimmed();
    const QString orden2 = d.dato(Declaracion834::Dato::NumOrdenSufijo).trimmed();
    const bool corresponde = verifica ? verifica(d.sControl, orden8, orden2)
                                      : ObjFunciones().OrdenCorresponde(d.sControl, orden8, orden2);
    if (!corresponde) {
        r.aviso = Resultado::falla(texto::kOrdenNoCorresponde, -1, Foco::Ninguno, Icono::Informacion);
        return r;
    }
    const auto fallo = [&r](const QString& error) {
        r.aviso = Resultado::falla(texto::kOrdenNoGrabado + u'\n' + error, -1, Foco::Ninguno, Icono::Critico);
        return r;
    };

    lectura834::Clave k = clave(d);
    k.enviada = true;
    TransaccionSql transaccion(db, QStringLiteral("HCAB"));
    if (!transaccion.abierta())
        return fallo(transaccion.error());

    // HCAB.NORDEN: the eight digits as a number, Null for 0.
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE HCAB SET NORDEN = ?") + condicionClave(true));
        const Dinero n = val(orden8);
        q.addBindValue(n.esCero() ? QVariant(QMetaType::fromType<qlonglong>()) : QVariant(static_cast<qlonglong>(n.enteroTruncado())));
        bindClave(q, k, true);
        if (!q.exec())
            return fallo(q.lastError().text());
        // Another workstation deleted the sent version meanwhile: an order
        // number row alone would be half a declaration.
        if (q.numRowsAffected() == 0)
            return fallo(texto::kEnviadaEliminada);
    }

    // HDET row 806: the two-digit part.
    const QVariantList valoresK = lectura834::valoresClave(k, true) << QStringLiteral("806");
    const QString condicion = condicionClave(true) + QStringLiteral(" AND Casilla = ?");
    QString error;
    std::optional<Fila> f = abrirFila(db, QStringLiteral("HDET"), condicion, valoresK, &error);
    if (!f)
        return fallo(error);
    if (f->existe() && orden2.isEmpty()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM HDET") + condicion);
        for (const QVariant& v : valoresK)
            q.addBindValue(v);
        if (!q.exec())
            return fallo(q.lastError().text());
    } else if (!orden2.isEmpty()) {
        if (!f->existe()) {
            f->poner(QStringLiteral("Tip_doc_d"), 6);
            f->poner(QStringLiteral("Doc_id_d"), k.ruc);
            f->poner(QStringLiteral("Periodo"), k.periodo);
            f->poner(QStringLiteral("Formulario"), k.formulario);
            f->poner(QStringLiteral("Correl"), k.correl);
            f->poner(QStringLiteral("Casilla"), QStringLiteral("806"));
            f->poner(QStringLiteral("i_valor"), orden2);
            f->poner(QStringLiteral("idcasilla"), QStringLiteral("01"));
            f->poner(QStringLiteral("estado"), 0);
        } else {
            f->poner(QStringLiteral("i_valor"), orden2);
        }
        // An updated row gets its code afresh too, so it stays true to the row.
        f->poner(QStringLiteral("cNumero"), codigoControl(f->registro(), kControlCountHdet));
        LoteSql escritura;
        f->escribir(escritura, QStringLiteral("HDET"), condicion, valoresK);
        if (!escritura.ejecutar(db))
            return fallo(escritura.error().text());
    }
    if (!transaccion.confirmar())
        return fallo(transaccion.error());

    r.registrado = true;
    r.aviso = Resultado::falla(texto::kOrdenRegistrado, -1, Foco::Ninguno, Icono::Exclamacion);
    r.aviso.titulo = texto::kTituloMensaje;
    return r;
}

PedidoCarga pedirCarga(LoteSql& lote, const Declaracion834& d)
{
    const lectura834::Clave k = clave(d);
    return {lectura834::pedirCasillas(lote, k), lectura834::pedirCabecera(lote, k)};
}

bool CargaCasillas(const QSqlDatabase& db, Declaracion834& d, bool* ok, QString* error)
{
    // The detail rows (the box-105 detail among them) and the header in one read.
    LoteSql lote;
    const PedidoCarga pedido = pedirCarga(lote, d);
    const bool leido = lote.ejecutar(db);
    if (ok)
        *ok = leido;
    if (!leido && error)
        *error = lote.error().text();
    return leido && cargarDe(lote, pedido, d);
}

bool cargarDe(const LoteSql& lote, const PedidoCarga& pedido, Declaracion834& d)
{
    if (lote.resultado(pedido.detalle).filas.isEmpty())
        return false;
    QList<lectura834::FilaCasilla> filas = lectura834::casillasDe(lote.resultado(pedido.detalle));
    const Detalle105 detalle = parametros834::detalle105De(lote.resultado(pedido.detalle).filas);
    const std::optional<lectura834::Cabecera> cab = lectura834::cabeceraDe(lote.resultado(pedido.cabecera));

    // The order the save writes them (boxes, then the other codes), so each
    // box is put back after the boxes its rule reads, whatever order the
    // engine returns the rows in.
    const QList<int> cajas = casillas834::vCasillas();
    const QStringList otros = Declaracion834::codigosNoCasilla();
    const auto orden = [&](const lectura834::FilaCasilla& f) {
        const int n = numeroInicial(f.codigo);
        if (const qsizetype i = cajas.indexOf(n); i >= 0)
            return i;
        for (qsizetype i = 0; i < otros.size(); ++i)
            if (numeroInicial(otros[i]) == n)
                return 1000 + i;
        return qsizetype(2000) + n;
    };
    std::stable_sort(filas.begin(), filas.end(),
                     [&](const auto& a, const auto& b) { return orden(a) < orden(b); });

    d.setDetalle105(detalle);
    for (const lectura834::FilaCasilla& f : filas)
        d.AsignaCasilla(f.codigo, f.valor);

    if (cab) {
        if (!cab->bcolibrad.isNull())
            d.setBanco(cab->bcolibrad.toString());
        d.setNumCheque(cab->nrocheque);
    }
    return true;
}

} // namespace grabacion834
