#include "DeclaracionReporte.h"

#include "Formato834.h"
#include "ObjFunciones.h"
#include "ConsultasParam.h"
#include "EscritorSpool.h"
#include "LoteSql.h"

#include <QSqlError>
#include <QVariant>
#include <initializer_list>
#include <utility>

namespace impresion834 {

QString importe(const QString& texto)
{
    if (formato834::vacio(texto))
        return {};
    return formato834::milesNegativoEntreParentesis(formato834::leer(texto));
}

QString importeAlineado(const QString& texto)
{
    const QString s = importe(texto);
    return ObjFunciones().AlineaDerecha(s, s.startsWith(u'(') ? 17 : 16);
}

QString condicion(const ContextoReporte& ctx)
{
    QString sql = QStringLiteral(" WHERE DOC_ID_D = ? AND TIP_DOC_D = 6 AND PERIODO = ? AND FORMULARIO = ?");
    if (ctx.enviada)
        sql += QStringLiteral(" AND CORREL = ?");
    return sql;
}

}  // namespace impresion834

namespace {

using impresion834::condicion;

using impresion834::importeAlineado;

const ObjFunciones kFunciones;

QString alinea(const QString& texto, int ancho) { return kFunciones.AlineaDerecha(texto, ancho); }

// The declaration's key: taxpayer, period, form and, when sent, correlative.
QString tablaDetalle(const ContextoReporte& ctx) { return ctx.enviada ? QStringLiteral("HDET") : QStringLiteral("DET"); }
QString tablaCabecera(const ContextoReporte& ctx) { return ctx.enviada ? QStringLiteral("HCAB") : QStringLiteral("CAB"); }

// Writes the elements of one page, every line stamped with that page.
class Hoja {
public:
    static constexpr int kFila = 270;   // height of a table row
    static constexpr int kTexto = 50;   // text below a row's top

    Hoja(EscritorSpool& w, int pagina) : w_(w), pagina_(pagina) {}

    void texto(int x, int y, const QString& s, bool negrita = false, int tamano = 8)
    {
        w_.ImprimePos(x, y, s, negrita, tamano, pagina_);
    }
    void cuadro(int x1, int y1, int x2, int y2) { w_.ImprimeCuadro(x1, y1, x2, y2, pagina_); }
    void nuevaHoja() { w_.ImprimePos(0, 0, QStringLiteral("pNuevaHoja"), false, 8, pagina_); }

    // A section heading over the whole width.
    void titulo(int top, const QString& s, int tamano = 9)
    {
        texto(300, top + kTexto, s, true, tamano);
        cuadro(150, top, 11000, top + kFila);
    }

    // A data row: label, box number and value. On page 0 the label cell ends
    // at the box cell; on the later pages it spans the row and the two other
    // cells are drawn over it.
    void fila(int top, const QString& etiqueta, int casilla, const QString& valor, bool etiquetaAncha,
              int xEtiqueta = 300, bool negrita = false)
    {
        texto(xEtiqueta, top + kTexto, etiqueta, negrita);
        if (casilla > 0)
            texto(8550, top + kTexto, QStringLiteral("%1").arg(casilla, 3, 10, QLatin1Char('0')));
        texto(9000, top + kTexto, valor);
        cuadro(150, top, etiquetaAncha ? 11000 : 8500, top + kFila);
        cuadro(8500, top, 8900, top + kFila);
        cuadro(8900, top, 11000, top + kFila);
    }

private:
    EscritorSpool& w_;
    int pagina_;
};

struct FilaActivo {
    const char* etiqueta;
    int casilla;
};

// The asset table in print order, top to bottom.
constexpr FilaActivo kActivos[] = {
    {"Caja y Bancos", 300},
    {"Clientes", 301},
    {"Cuentas por cobrar accionistas y personal", 302},
    {"Cuentas por cobrar diversas", 304},
    {"Provision de Cuentas por Cobranza Dudosa", 303},
    {"Mercaderías", 305},
    {"Productos terminados", 306},
    {"Subproductos, desechos y desperdicios", 307},
    {"Productos en proceso", 308},
    {"Materia prima y Auxiliares", 310},
    {"Envases y embalajes", 311},
    {"Suministros diversos", 313},
    {"Existencias por recibir", 314},
    {"Otras cuentas del activo corriente", 315},
    {"Valores", 316},
    {"Terrenos", 318},
    {"Edificios y otras construcciones", 319},
    {"Maquinaria y equipo y otras unidades de explotación", 321},
    {"Unidades de transporte", 322},
    {"Muebles y enseres", 323},
    {"Equipos diversos", 324},
    {"Unidades de reemplazo", 395},
    {"Unidades por recibir", 396},
    {"Trabajos en curso", 397},
    {"Intangibles", 325},
    {"Cargas Diferidas", 327},
    {"Depreciación de Inmueble Maquinaria y Equipo", 328},
    {"Amortización de Intangibles", 326},
    {"Otras cuentas del activo no corriente", 329},
    {"TOTAL ACTIVO NETO", 330},
};

void paginaIdentificacion(EscritorSpool& w, const ContextoReporte& ctx, const DeclaracionImpresa& d)
{
    Hoja h(w, 0);
    h.texto(300, 350, QStringLiteral("KALDEN"), true, 16);
    h.texto(300, 750, QStringLiteral("DECLARACION"));
    h.texto(550, 1100, QStringLiteral("PAGO"));
    h.texto(550, 1330, QStringLiteral("834"), true, 12);
    h.cuadro(150, 300, 1700, 1640);
    h.cuadro(150, 300, 1700, 1640);

    h.texto(3450, 400, QStringLiteral("ANTICIPO ADICIONAL DE RENTA"), true, 9);
    h.texto(3700, 600, QStringLiteral("TERCERA CATEGORIA"), true, 11);
    h.texto(4000, 850, QStringLiteral("Ejercicio gravable ") + ctx.periodo, false, 7);
    h.cuadro(1700, 300, 8500, 1100);

    h.texto(1750, 1170, QStringLiteral("RUC"));
    h.texto(3500, 1170, ctx.ruc, true);
    for (int vez = 0; vez < 2; ++vez) {
        h.cuadro(1700, 1100, 3400, 1370);
        h.cuadro(3400, 1100, 8500, 1370);
    }
    h.texto(1750, 1450, QStringLiteral("RAZON SOCIAL"));
    h.texto(3500, 1450, ctx.nombre, true);
    h.cuadro(1700, 1370, 3400, 1640);
    h.cuadro(3400, 1370, 8500, 1640);

    h.texto(9000, 400, QStringLiteral("Copia para el"));
    h.texto(9000, 700, QStringLiteral("Contribuyente"), false, 9);
    h.cuadro(8500, 300, 11000, 1100);
    h.texto(8700, 1170, QStringLiteral(" N° DE TELEFONO"));
    h.texto(9000, 1450, d.telefono);
    h.cuadro(8500, 1100, 11000, 1640);
    h.cuadro(8500, 1100, 11000, 1370);

    if (ctx.enviada) {
        h.texto(300, 2000, QStringLiteral("Nro. Control:"));
        h.texto(1600, 2000, alinea(ctx.control, 10));
        h.cuadro(150, 1950, 2800, 2220);
        h.texto(8700, 2000, QStringLiteral("Nro. Orden:"));
        h.texto(9800, 2000, alinea(d.norden, 10));
        h.cuadro(8500, 1950, 11000, 2220);
    }

    h.texto(2600, 2540, QStringLiteral("ACTIVO"));
    h.cuadro(150, 2490, 8500, 3030);
    const bool ajustado = d.ajusteInflacion == QLatin1String("1");
    h.texto(9000, 2540, ajustado ? QStringLiteral("Valor Ajustado") : QStringLiteral("Valor Histórico"));
    h.texto(8750, 2810, QStringLiteral("  Al 31/12/") + QString::number(numeroInicial(ctx.periodo) - 1));
    h.cuadro(8500, 2490, 11000, 3030);

    int top = 3030;
    for (const FilaActivo& f : kActivos) {
        h.fila(top, QString::fromUtf8(f.etiqueta), f.casilla, importeAlineado(d.casilla(f.casilla)), false);
        top += Hoja::kFila;
    }
}

// Page 1 from the payment row on: the payment, then the complementary data,
// which follow the last payment row drawn.
void formaDePago(Hoja& h, const DeclaracionImpresa& d, int& top)
{
    h.texto(300, top + Hoja::kTexto, QStringLiteral("Forma de Pago"));
    h.cuadro(150, top, 6000, top + Hoja::kFila);
    h.cuadro(6000, top, 6400, top + Hoja::kFila);
    h.texto(6500, top + Hoja::kTexto, QStringLiteral("EFECTIVO"));
    h.cuadro(6400, top, 8500, top + Hoja::kFila);
    h.cuadro(8500, top, 8900, top + Hoja::kFila);
    h.texto(9000, top + Hoja::kTexto, QStringLiteral("CHEQUE"));
    h.cuadro(8900, top, 11000, top + Hoja::kFila);
    if (!d.pago.cheque) {
        h.texto(6050, top + Hoja::kTexto, QStringLiteral(" X "));
        return;
    }
    h.texto(8550, top + Hoja::kTexto, QStringLiteral(" X "));

    top += Hoja::kFila;
    h.texto(300, top + Hoja::kTexto, QStringLiteral("Número de Cheque"));
    h.texto(8550, top + Hoja::kTexto, QStringLiteral("012"));
    h.texto(9000, top + Hoja::kTexto, alinea(d.pago.nroCheque, 16));
    h.cuadro(150, top, 6000, top + Hoja::kFila);
    h.cuadro(8500, top, 8900, top + Hoja::kFila);
    h.cuadro(8900, top, 11000, top + Hoja::kFila);

    top += Hoja::kFila;
    h.texto(300, top + Hoja::kTexto, QStringLiteral("Banco"));
    h.texto(6050, top + Hoja::kTexto, QStringLiteral("015"));
    h.texto(6500, top + Hoja::kTexto, alinea(d.pago.banco, 16));
    h.texto(9000, top + Hoja::kTexto, alinea(d.pago.nombreBanco, 16));
    h.cuadro(150, top, 6000, top + Hoja::kFila);
    h.cuadro(6000, top, 6400, top + Hoja::kFila);
    h.cuadro(6400, top, 8500, top + Hoja::kFila);
    h.cuadro(8500, top, 11000, top + Hoja::kFila);
}

QString siNo(const QString& respuesta)
{
    return respuesta == QLatin1String("1") ? QStringLiteral("SI") : QStringLiteral("NO");
}

void paginaDeterminacion(EscritorSpool& w, const ContextoReporte& ctx, const DeclaracionImpresa& d)
{
    Hoja h(w, 1);
    h.nuevaHoja();
    h.titulo(300, QStringLiteral("DETERMINACION DEL ANTICIPO ADICIONAL"));

    const std::pair<QString, int> determinacion[] = {
        {QStringLiteral("Activo Neto"), 101},
        {QStringLiteral("Adiciones para determinar el activo neto imponible"), 104},
        {QStringLiteral("Deducciones para determinar el activo neto imponible"), 105},
        {QStringLiteral("Activo neto imponible"), 108},
        {QStringLiteral("Activo neto imponible actualizado al 31/03/") + ctx.periodo, 109},
        {QStringLiteral("Total anticipo del impuesto a la renta (segun escala)"), 113},
        {QStringLiteral("Reducción del 30% para el ejercicio 2003"), 114},
    };
    int top = 570;
    for (const auto& [etiqueta, casilla] : determinacion) {
        h.fila(top, etiqueta, casilla, importeAlineado(d.casilla(casilla)), true);
        top += Hoja::kFila;
    }

    top += Hoja::kFila;  // one empty row
    h.titulo(top, QStringLiteral("DEUDA TRIBUTARIA"));
    top += Hoja::kFila;

    const std::pair<QString, int> deuda[] = {
        {QStringLiteral("Total anticipo del impuesto a la renta"), 139},
        {QStringLiteral("Pago al contado o monto de la 1ra. cuota"), 161},
        {QStringLiteral("Pagos previos"), 144},
        {QStringLiteral("Interés moratorio"), 145},
        {QStringLiteral("Saldo definitivo a pagar "), 146},
    };
    h.fila(top, deuda[0].first, deuda[0].second, importeAlineado(d.casilla(139)), true);
    top += Hoja::kFila;
    // The payment mode is a single digit, printed without grouping.
    const Dinero modalidad = formato834::leer(d.casilla(160));
    h.fila(top, QStringLiteral("Modalidad de Pago (1: Contado   2: En 9 cuotas)"), 160,
           alinea(modalidad.esCero() ? QString() : formato834::plano(modalidad), 16), true);
    top += Hoja::kFila;
    for (size_t i = 1; i < std::size(deuda); ++i) {
        h.fila(top, deuda[i].first, deuda[i].second, importeAlineado(d.casilla(deuda[i].second)), true);
        top += Hoja::kFila;
    }
    h.fila(top, QStringLiteral("IMPORTE A PAGAR"), 180, importeAlineado(d.casilla(180)), true, 3300, true);
    top += Hoja::kFila;

    formaDePago(h, d, top);

    top += 2 * Hoja::kFila;
    h.titulo(top, QStringLiteral("INFORMACION COMPLEMENTARIA"));
    top += Hoja::kFila;
    h.titulo(top, QStringLiteral("Datos del Representante Legal"), 8);
    top += Hoja::kFila;
    h.fila(top, QStringLiteral("Tipo de Documento"), 225, alinea(d.casilla(225), 16), true);
    top += Hoja::kFila;
    h.fila(top, QStringLiteral("Número de Documento"), 226, alinea(d.casilla(226), 16), true);
    for (const auto& [etiqueta, valor] : {std::pair{QStringLiteral("Apellidos"), d.apellidos},
                                          std::pair{QStringLiteral("Nombres"), d.nombres}}) {
        top += Hoja::kFila;
        h.texto(300, top + Hoja::kTexto, etiqueta);
        h.texto(8950, top + Hoja::kTexto, alinea(valor, 16));
        h.cuadro(150, top, 11000, top + Hoja::kFila);
        h.cuadro(8500, top, 8900, top + Hoja::kFila);
        h.cuadro(8900, top, 11000, top + Hoja::kFila);
    }

    top += 2 * Hoja::kFila;
    const std::pair<QString, QString> preguntas[] = {
        {QStringLiteral("¿Esta usted obligado a efectuar ajuste por inflación de acuerdo al DL Nro. 797?"),
         d.ajusteInflacion},
        {QStringLiteral("La presente declaración rectifica o sustituye a otra"), d.rectifica},
    };
    for (const auto& [pregunta, respuesta] : preguntas) {
        h.texto(300, top + Hoja::kTexto, pregunta);
        h.texto(9000, top + Hoja::kTexto, alinea(siNo(respuesta), 16));
        h.cuadro(150, top, 11000, top + Hoja::kFila);
        h.cuadro(8900, top, 11000, top + Hoja::kFila);
        top += Hoja::kFila;
    }
}

struct Deduccion {
    int casilla;
    std::initializer_list<const char*> lineas;
};

const char kBaseLegalFin[] = "a la Renta, aprobado por D.S. 054-99-EF y modif.";

const Deduccion kDeducciones[] = {
    {546,
     {"Las acciones, participaciones o derechos de capital de otras empresas", "sujetas al Impuesto a la Renta.",
      "Base Legal : Numeral i) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {547,
     {"El valor de la maquinaria y equipo que no tenga una antigüedad superior", "a los tres años.",
      "Base Legal : Numeral ii) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {548,
     {"En el caso de las Empresas de Operaciones Múltiples a que se refiere el literal a)",
      "del Artículo 16º de la Ley Nº 26702, deducirán el encaje exigible y las provisiones",
      "específicas por riesgo crediticio que el órgano competente establezca, según los",
      "porcentajes que corresponda a cada categoría de riesgo, hasta el límite del 100%.",
      "Base Legal : Numeral iii) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {549,
     {"Las Empresas de Operaciones Múltiples a que se refiere el inciso anterior, luego",
      "de haber efectuado las deducciones previstas en el presente párrafo, en lo que re-",
      "sulten pertinentes, calcularán el anticipo sobre el 50% del valor del activo neto.",
      "Base Legal : Numeral iv) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {550,
     {"Las cuentas de existencias y las cuentas por cobrar producto de operaciones de",
      "exportación, en el caso de las empresas exportadoras.",
      "Base Legal : Numeral v) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {551,
     {"Las acciones de propiedad del Estado en la Corporación Andina de Fomento, así",
      "como los derechos que se deriven de esa participación y los reajustes de valor",
      "de dichas acciones, que reciban en calidad de aporte de capital las entidades",
      "financieras del Estado que se dediquen a actividades de fomento y desarrollo.",
      "Base Legal : Numeral vi) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {552,
     {"Los activos que respaldan reservas matemáticas sobre seguros de vida, en el",
      "caso de las empresas de seguros a que se refiere la Ley Nº 26702.",
      "Base Legal : Numeral vii) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {553,
     {"Los inmuebles, museos y colecciones privadas de objetos culturales calificados",
      "como patrimonio cultural por el Instituto Nacional de Cultura y regulados por",
      "la Ley General de Amparo al Patrimonio Cultural de la Nación.",
      "Base Legal : Numeral viii) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {554,
     {"Los bienes entregados en concesión por el Estado al amparo de la normativa que re-",
      "gula la promoción de las inversiones privadas en infraestructura de servicios pú-",
      "blicos; siempre que se encuentren afectados a la prestación de servicios públicos,",
      "así como las construcciones efectuadas por los concesionarios sobre tales bienes.",
      "Base Legal : Numeral ix) del inciso c) del Art. 125º del TUO de la Ley del Imp. ", kBaseLegalFin}},
    {555, {"Otras deducciones"}},
};

void paginaAnexo(EscritorSpool& w, const DeclaracionImpresa& d)
{
    Hoja h(w, 2);
    h.nuevaHoja();
    h.titulo(300, QStringLiteral(
                      "ASISTENTE DE LA CASILLA 105 (Deducciones para determinar el activo neto imponible)"));
    h.texto(3500, 620, QStringLiteral("Tipo de Deducción"), true);
    h.texto(9400, 620, QStringLiteral("    Monto"), true);
    h.cuadro(150, 570, 11000, 840);
    h.cuadro(8900, 570, 11000, 840);

    int top = 840;
    for (const Deduccion& ded : kDeducciones) {
        int y = top + Hoja::kTexto;
        for (const char* linea : ded.lineas) {
            h.texto(300, y, QString::fromUtf8(linea));
            y += Hoja::kFila;
        }
        h.texto(9000, top + Hoja::kTexto, alinea(d.anexo.value(ded.casilla), 16));
        const int bottom = top + Hoja::kFila * int(ded.lineas.size());
        h.cuadro(150, top, 11000, bottom);
        h.cuadro(8900, top, 11000, bottom);
        top = bottom;
    }

    h.texto(300, top + Hoja::kTexto, QStringLiteral("TOTAL DEDUCCIONES"));
    h.texto(9000, top + Hoja::kTexto, alinea(formato834::miles(d.totalAnexo), 16));
    h.cuadro(150, top, 11000, top + 2 * Hoja::kFila);
    h.cuadro(8900, top, 11000, top + 2 * Hoja::kFila);
}

}  // namespace

namespace {

QVariantList valoresCondicion(const ContextoReporte& ctx)
{
    QVariantList valores{ctx.ruc, ctx.periodo, ctx.formulario};
    if (ctx.enviada)
        valores << ctx.correl;
    return valores;
}

QString textoDe(const QVariant& v) { return LoteSql::esNulo(v) ? QString() : v.toString(); }

// The reads behind the printed declaration, as parts of one batch: on a
// server far away each read is a round trip.
struct PedidoDeclaracion {
    int norden = -1;
    int detalle = -1;
};

PedidoDeclaracion pedirDeclaracion(LoteSql& lote, const ContextoReporte& ctx)
{
    PedidoDeclaracion p;
    if (ctx.enviada)
        p.norden = lote.agregar(QStringLiteral("SELECT NORDEN FROM HCAB") + condicion(ctx), valoresCondicion(ctx));
    p.detalle = lote.agregar(QStringLiteral("SELECT Casilla, i_valor FROM ") + tablaDetalle(ctx) + condicion(ctx)
                                 + QStringLiteral(" ORDER BY Casilla"),
                             valoresCondicion(ctx));
    return p;
}

void declaracionDe(const LoteSql& lote, const PedidoDeclaracion& p, DeclaracionImpresa& out)
{
    out.casillas.clear();
    out.telefono.clear();
    out.rectifica.clear();
    out.ajusteInflacion.clear();
    out.apellidos.clear();
    out.nombres.clear();
    out.norden.clear();
    if (p.norden >= 0 && !lote.resultado(p.norden).filas.isEmpty())
        out.norden = textoDe(lote.resultado(p.norden).filas.first()[0]);
    for (const QVariantList& f : lote.resultado(p.detalle).filas) {
        const int n = numeroInicial(f[0].toString());
        if (n >= 900)
            continue;
        const QString valor = textoDe(f[1]);
        out.casillas.insert(n, valor);
        switch (n) {
        case 5: out.rectifica = valor; break;
        case 28: out.telefono = valor; break;
        case 817: out.apellidos = valor; break;
        case 818: out.nombres = valor; break;
        case 825: out.ajusteInflacion = valor; break;
        default: break;
        }
    }
}

// The header's bank and cheque, and the bank's PARAM 004 row in the same read.
struct PedidoFormaPago {
    int cabecera = -1;
    int banco = -1;
};

PedidoFormaPago pedirFormaPago(LoteSql& lote, const ContextoReporte& ctx)
{
    return {lote.agregar(QStringLiteral("SELECT bcolibrad, nrocheque FROM ") + tablaCabecera(ctx) + condicion(ctx),
                         valoresCondicion(ctx)),
            lote.agregar(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero = ? AND Argumento = (SELECT bcolibrad"
                                        " FROM ")
                             + tablaCabecera(ctx) + condicion(ctx) + u')',
                         QVariantList{QStringLiteral("004")} + valoresCondicion(ctx))};
}

void formaPagoDe(const LoteSql& lote, const PedidoFormaPago& p, FormaPagoImpresa& out, bool* esCheque)
{
    out = FormaPagoImpresa();
    const QList<QVariantList>& cab = lote.resultado(p.cabecera).filas;
    if (!cab.isEmpty() && !LoteSql::esNulo(cab.first()[0]) && !cab.first()[0].toString().trimmed().isEmpty()) {
        out.cheque = true;
        out.banco = cab.first()[0].toString();
        out.nroCheque = textoDe(cab.first()[1]);
        const QList<QVariantList>& banco = lote.resultado(p.banco).filas;
        out.nombreBanco = banco.isEmpty() ? QString() : nombreCortoDeBanco(banco.first()[0].toString());
    }
    if (esCheque)
        *esCheque = out.cheque;
}

int pedirAnexo(LoteSql& lote, const ContextoReporte& ctx)
{
    return lote.agregar(QStringLiteral("SELECT Casilla, i_valor FROM ") + tablaDetalle(ctx) + condicion(ctx),
                        valoresCondicion(ctx));
}

void anexoDe(const LoteSql::Resultado& r, DeclaracionImpresa& out)
{
    out.anexo.clear();
    out.totalAnexo = Dinero();
    // The box number is text; its range is chosen here rather than by an
    // engine-specific conversion in the statement.
    for (const QVariantList& f : r.filas) {
        const int n = numeroInicial(f[0].toString());
        if (n < 546 || n > 555)
            continue;
        const QString valor = textoDe(f[1]);
        const Dinero importe = formato834::leer(valor);
        out.anexo.insert(n, formato834::vacio(valor) ? QString() : formato834::miles(importe));
        out.totalAnexo += importe;
    }
}

}  // namespace

QString CargaDeclaracion(QSqlDatabase db, const ContextoReporte& ctx, DeclaracionImpresa& out)
{
    LoteSql lote;
    const PedidoDeclaracion p = pedirDeclaracion(lote, ctx);
    if (!lote.ejecutar(db))
        return lote.error().text();
    declaracionDe(lote, p, out);
    return {};
}

QString CargaFormaPago(QSqlDatabase db, const ContextoReporte& ctx, FormaPagoImpresa& out, bool* esCheque)
{
    LoteSql lote;
    const PedidoFormaPago p = pedirFormaPago(lote, ctx);
    if (!lote.ejecutar(db)) {
        out = FormaPagoImpresa();
        return lote.error().text();
    }
    formaPagoDe(lote, p, out, esCheque);
    return {};
}

QString CargaAnexo(QSqlDatabase db, const ContextoReporte& ctx, DeclaracionImpresa& out)
{
    LoteSql lote;
    const int p = pedirAnexo(lote, ctx);
    if (!lote.ejecutar(db))
        return lote.error().text();
    anexoDe(lote.resultado(p), out);
    return {};
}

void GeneraDeclaracion(EscritorSpool& w, const ContextoReporte& ctx, const DeclaracionImpresa& d)
{
    paginaIdentificacion(w, ctx, d);
    paginaDeterminacion(w, ctx, d);
    if (ctx.imprimeAnexo)
        paginaAnexo(w, d);
}

QString GeneraReporteDeclaracion(QSqlDatabase db, const QString& sysUser, const QString& folder,
                                 ContextoReporte& ctx)
{
    ctx.destino = QStringLiteral("ARCHIVO");
    ctx.codRep = ctx.imprimeAnexo ? QString(kRepDeclaracionAnexos) : QString(kRepDeclaracion);
    ctx.archivo.clear();
    ctx.pageTotal = 0;

    // Read inside the registration, with its first reads, so a declaration
    // that cannot be read leaves no registered file behind.
    // CargaDeclaracion, CargaFormaPago and CargaAnexo in one read.
    DeclaracionImpresa d;
    LoteSql lote;
    const PedidoDeclaracion declaracion = pedirDeclaracion(lote, ctx);
    const PedidoFormaPago pago = pedirFormaPago(lote, ctx);
    const int anexo = ctx.imprimeAnexo ? pedirAnexo(lote, ctx) : -1;
    const RegistroSpool reg =
        RegistraSpool(db, sysUser, ctx.codRep, 6, ctx.ruc.trimmed(), QDateTime::currentDateTime(), &lote);
    if (!reg.ok())
        return reg.error;
    declaracionDe(lote, declaracion, d);
    formaPagoDe(lote, pago, d.pago, nullptr);
    if (anexo >= 0)
        anexoDe(lote.resultado(anexo), d);
    ctx.archivo = reg.archivo;
    return IniciaReporte(ctx, folder, [&](EscritorSpool& w) { GeneraDeclaracion(w, ctx, d); });
}
