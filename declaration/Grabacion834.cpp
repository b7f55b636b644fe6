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
#include "TransaccionSql.h"

#include <QSqlError>
#include <QHash>
#include <QSqlQuery>
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

    // INSERT of the columns set, or UPDATE of them for the row of the key.
    bool escribir(QSqlDatabase& db, const QString& tabla, const QString& condicion,
                  const std::function<void(QSqlQuery&)>& bindCondicion, QString* error) const
    {
        QSqlQuery q(db);
        if (existe_) {
            QStringList asignaciones;
            for (const QString& c : puestas_)
                asignaciones << c + QStringLiteral(" = ?");
            q.prepare(QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ") + asignaciones.join(u", ")
                      + condicion);
        } else {
            q.prepare(QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (") + puestas_.join(u", ")
                      + QStringLiteral(") VALUES (") + QStringList(puestas_.size(), QStringLiteral("?")).join(u", ")
                      + u')');
        }
        for (const QString& c : puestas_)
            q.addBindValue(registro_.value(c));
        if (existe_)
            bindCondicion(q);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
        return true;
    }

private:
    QSqlRecord registro_;
    bool existe_;
    QStringList puestas_;
};

// The columns of a table, read from the database once per connection: a save
// lays out some sixty new rows and the engine's schema query would dominate it.
QSqlRecord registroDeTabla(const QSqlDatabase& db, const QString& tabla)
{
    static QHash<QString, QSqlRecord> conocidos;
    const QString clave = db.connectionName() + u'\n' + db.databaseName() + u'\n' + tabla;
    auto it = conocidos.constFind(clave);
    if (it != conocidos.constEnd())
        return *it;
    const QSqlRecord r = columnasDeTabla(db, tabla);
    if (!r.isEmpty())
        conocidos.insert(clave, r);
    return r;
}

// The row of `tabla` selected by the condition, or a blank one laid out like
// the table when there is none.
std::optional<Fila> abrirFila(QSqlDatabase& db, const QString& tabla, const QString& condicion,
                              const std::function<void(QSqlQuery&)>& bindCondicion, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT * FROM ") + tabla + condicion);
    bindCondicion(q);
    if (!q.exec()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    if (q.next())
        return Fila(q.record(), true);
    QSqlRecord vacio = registroDeTabla(db, tabla);
    if (vacio.isEmpty()) {
        *error = QStringLiteral("table %1 not found").arg(tabla);
        return std::nullopt;
    }
    vacio.clearValues();
    return Fila(vacio, false);
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

bool grabarCabecera(QSqlDatabase& db, const Declaracion834& d, const lectura834::Clave& k, int estado,
                    const QDate& hoy, QString* error)
{
    const auto bindK = [&k](QSqlQuery& q) { bindClave(q, k, false); };
    std::optional<Fila> f = abrirFila(db, QStringLiteral("CAB"), condicionClave(false), bindK, error);
    if (!f)
        return false;
    if (!f->existe())
        f->ponerClave(k);
    f->poner(QStringLiteral("fec_pro"), hoy.toString(QStringLiteral("dd/MM/yyyy")));
    const FormaDePago& pago = d.pago();
    const QString blanco = QStringLiteral(" ");
    const QString importe = d.vacio(180) ? QString() : formato834::plano(d.Vale(180));
    if (pago.formapago == u"C") {
        f->poner(QStringLiteral("bcolibrad"), pago.banco);
        f->poner(QStringLiteral("nrocheque"), pago.numcheque);
        f->poner(QStringLiteral("cheque"), textoNoNulo(importe));
        f->poner(QStringLiteral("efectivo"), blanco);
    } else {
        f->poner(QStringLiteral("bcolibrad"), blanco);
        f->poner(QStringLiteral("nrocheque"), blanco);
        f->poner(QStringLiteral("cheque"), blanco);
        f->poner(QStringLiteral("efectivo"), importe.isEmpty() ? blanco : importe);
    }
    f->poner(QStringLiteral("estado"), estado);
    f->poner(QStringLiteral("rectifica"), textoNoNulo(d.respuesta(Declaracion834::Pregunta::Rectifica)));
    f->poner(QStringLiteral("cNumero"), codigoControl(f->registro(), kControlCountCab));
    return f->escribir(db, QStringLiteral("CAB"), condicionClave(false), bindK, error);
}

// Every detail row goes except the box-105 detail (546 to 555), which
// belongs to the assistant. The range is judged here on Val(Casilla).
bool borrarDetalle(QSqlDatabase& db, const lectura834::Clave& k, QString* error)
{
    return lectura834::borrarFilasDetalle(db, k, [](const QVariant& casilla) {
        const Dinero n = val(textoSiNoNulo(casilla));
        return n < Dinero::deEntero(kPrimeraDeduccion) || n > Dinero::deEntero(kUltimaDeduccion);
    }, error);
}

// GrabaCasilla: writes the DET row of one code. The save has just removed
// every row outside the box-105 detail, so each code's row is new: one
// INSERT is prepared for the whole declaration and run once per code.
class GrabaCasilla {
public:
    GrabaCasilla(QSqlDatabase& db, const lectura834::Clave& k)
        : insercion_(db), vacio_(registroDeTabla(db, QStringLiteral("DET"))), clave_(k)
    {
        vacio_.clearValues();
        insercion_.prepare(QStringLiteral("INSERT INTO DET (Doc_id_d, Tip_doc_d, Periodo, Formulario, Casilla,"
                                          " i_valor, idcasilla, cNumero) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    }

    bool operator()(const QString& codigo, const QString& valor, QString* error)
    {
        if (sinValor(valor))
            return true;
        Fila f(vacio_, false);
        f.ponerClave(clave_);
        f.poner(QStringLiteral("Casilla"), codigo);
        f.poner(QStringLiteral("i_valor"), valorAlmacenado(codigo, valor));
        f.poner(QStringLiteral("idcasilla"), idCasilla(codigo));
        f.poner(QStringLiteral("cNumero"), codigoControl(f.registro(), kControlCountDet));
        for (const char* columna : {"Doc_id_d", "Tip_doc_d", "Periodo", "Formulario", "Casilla", "i_valor",
                                    "idcasilla", "cNumero"})
            insercion_.addBindValue(f.registro().value(QLatin1String(columna)));
        if (!insercion_.exec()) {
            *error = insercion_.lastError().text();
            return false;
        }
        return true;
    }

private:
    QSqlQuery insercion_;
    QSqlRecord vacio_;
    lectura834::Clave clave_;
};

// A stored declaration other than the box-105 assistant's placeholder
// (cNumero "0"), which a new declaration's own assistant may have left.
bool existeGuardada(const QSqlDatabase& db, const lectura834::Clave& k, bool* existe, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT cNumero FROM CAB") + condicionClave(false));
    bindClave(q, k, false);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    *existe = q.next() && textoSiNoNulo(q.value(0)).trimmed() != u"0";
    return true;
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
bool sigueSiendoLaLeida(QSqlDatabase& db, const Declaracion834& d, const lectura834::Clave& k,
                        const std::optional<QString>& selloLeido, Grabado& r)
{
    bool existe = false;
    if (!existeGuardada(db, k, &existe, &r.error))
        return false;
    if (!existe)
        return true;
    if (!selloLeido) {
        r.yaExiste = d.iAccion == 0;
        return !r.yaExiste;
    }
    bool leido = false;
    const QString actual = lectura834::sello(db, k, &leido);
    if (!leido) {
        r.error = db.lastError().text();
        return false;
    }
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
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? ORDER BY Argumento"));
    q.addBindValue(QStringLiteral("981"));
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    QString lista;
    while (q.next())
        if (textoSiNoNulo(q.value(0)).startsWith(parametros834::kFormulario)) {
            lista = textoSiNoNulo(q.value(1));
            break;
        }
    q.finish();

    Dinero total;
    QSqlQuery filas(db);
    filas.setForwardOnly(true);
    filas.prepare(QStringLiteral("SELECT Correl_param FROM PARAM WHERE Numero = ?"));
    for (qsizetype pos = 0; pos < lista.size(); pos += 4) {
        const QString numero = lista.mid(pos, 3);
        filas.addBindValue(numero);
        if (!filas.exec()) {
            *error = filas.lastError().text();
            return false;
        }
        Dinero correlativos;
        while (filas.next())
            correlativos += val(textoSiNoNulo(filas.value(0)).trimmed());
        total += val(numero) * correlativos;
    }
    *suma = formato834::textoFactor(total);
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
    if (!sigueSiendoLaLeida(db, d, k, selloLeido, r))
        return r;
    QString suma;
    if (!grabarCabecera(db, d, k, r.estado, c.hoy ? c.hoy() : QDate::currentDate(), &r.error)
        || (deducciones && !anexo105::reemplazar(db, k, true, *deducciones, &r.error))
        || !sumaParametros(db, &suma, &r.error) || !borrarDetalle(db, k, &r.error))
        return r;
    GrabaCasilla graba(db, k);
    for (int numero : casillas834::vCasillas())
        if (!graba(QString::number(numero), d.casilla(numero).trimmed(), &r.error))
            return r;
    for (const QString& codigo : Declaracion834::codigosNoCasilla()) {
        const QString valor = codigo == u"722" ? suma : d.valorCodigo(codigo);
        if (!graba(codigo, valor, &r.error))
            return r;
    }
    r.sello = lectura834::sello(db, k);
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
    const auto bindK = [&k](QSqlQuery& q) {
        bindClave(q, k, true);
        q.addBindValue(QStringLiteral("806"));
    };
    const QString condicion = condicionClave(true) + QStringLiteral(" AND Casilla = ?");
    QString error;
    std::optional<Fila> f = abrirFila(db, QStringLiteral("HDET"), condicion, bindK, &error);
    if (!f)
        return fallo(error);
    if (f->existe() && orden2.isEmpty()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM HDET") + condicion);
        bindK(q);
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
        if (!f->escribir(db, QStringLiteral("HDET"), condicion, bindK, &error))
            return fallo(error);
    }
    if (!transaccion.confirmar())
        return fallo(transaccion.error());

    r.registrado = true;
    r.aviso = Resultado::falla(texto::kOrdenRegistrado, -1, Foco::Ninguno, Icono::Exclamacion);
    r.aviso.titulo = texto::kTituloMensaje;
    return r;
}

bool CargaCasillas(const QSqlDatabase& db, Declaracion834& d, bool* ok, QString* error)
{
    const lectura834::Clave k = clave(d);
    bool leido = false;
    QList<lectura834::FilaCasilla> filas = lectura834::leerCasillas(db, k, &leido, error);
    Detalle105 detalle;
    std::optional<lectura834::Cabecera> cab;
    if (leido && !filas.isEmpty())
        detalle = parametros834::leerDetalle105(db, k.ruc, k.periodo, k.enviada, k.correl, &leido, error);
    if (leido && !filas.isEmpty())
        cab = lectura834::leerCabecera(db, k, &leido, error);
    if (ok)
        *ok = leido;
    if (!leido || filas.isEmpty())
        return false;

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
