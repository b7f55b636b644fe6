#include "ColumnasCsv.h"

#include "Casillas834.h"
#include "Declaracion834.h"
#include "Eco.h"

#include <QRegularExpression>
#include <QSet>

namespace columnas {

namespace {

// Where a column's value goes in the declaration object.
enum class Lugar { Raiz, FormaPago, Representante, Casilla, Deduccion };

struct Columna {
    QString nombre;
    int codigo;       // the detail row export reads it from
    Lugar lugar;
    QString clave;    // member of the declaration object
};

const QList<Columna>& tabla()
{
    static const QList<Columna> columnas = [] {
        QList<Columna> t{
            {"ruc", 2, Lugar::Raiz, "ruc"},
            {"ejercicio", 7, Lugar::Raiz, "ejercicio"},
            {"telefono", 28, Lugar::Raiz, "telefono"},
            {"rectifica", 5, Lugar::Raiz, "rectifica"},
            {"ajuste", 825, Lugar::Raiz, "ajuste"},
            {"liquidacion", 826, Lugar::Raiz, "liquidacion"},
            {"reorganizacion", 827, Lugar::Raiz, "reorganizacion"},
            {"formapago", 599, Lugar::FormaPago, "formapago"},
            {"banco", 15, Lugar::FormaPago, "banco"},
            {"numcheque", 12, Lugar::FormaPago, "numcheque"},
            {"tipodoc", 225, Lugar::Representante, "tipoDoc"},
            {"numdoc", 226, Lugar::Representante, "numDoc"},
            {"apellidos", 817, Lugar::Representante, "apellidos"},
            {"nombres", 818, Lugar::Representante, "nombres"},
        };
        for (const casillas834::Casilla& c : casillas834::tabla())
            if (c.tipo == casillas834::Tipo::Ingresada)
                t.append({QString::number(c.numero), c.numero, Lugar::Casilla, QString::number(c.numero)});
        for (int n = kPrimeraDeduccion; n <= kUltimaDeduccion; ++n)
            t.append({QString::number(n), n, Lugar::Deduccion, QString::number(n)});
        return t;
    }();
    return columnas;
}

// "1,234,567" as the bare digits the box takes; anything else unchanged, so
// that the box's own check names what is wrong with it.
QString sinSeparadores(const QString& importe)
{
    static const QRegularExpression agrupado(QStringLiteral("^\\d{1,3}(,\\d{3})+$"));
    return agrupado.match(importe).hasMatch() ? QString(importe).remove(u',') : importe;
}

} // namespace

QStringList nombres()
{
    QStringList n;
    for (const Columna& c : tabla())
        n << c.nombre;
    return n;
}

std::optional<Cabecera> leerCabecera(const QStringList& cabecera, QString* error)
{
    QSet<QString> conocidas;
    for (const Columna& c : tabla())
        conocidas.insert(c.nombre);
    Cabecera r;
    QStringList desconocidas;
    for (int i = 0; i < cabecera.size(); ++i) {
        const QString nombre = cabecera[i].trimmed().toLower();
        if (!conocidas.contains(nombre)) {
            desconocidas << u'"' + eco(cabecera[i]) + u'"';
        } else if (r.posicion.contains(nombre)) {
            *error = QStringLiteral("the header row names column \"%1\" twice").arg(nombre);
            return std::nullopt;
        } else {
            r.posicion.insert(nombre, i);
        }
    }
    if (!desconocidas.isEmpty()) {
        *error = QStringLiteral("unknown columns in the header row: %1").arg(desconocidas.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    for (const char* requerida : {"ruc", "ejercicio"})
        if (!r.posicion.contains(QLatin1String(requerida))) {
            *error = QStringLiteral("the header row has no \"%1\" column").arg(QLatin1String(requerida));
            return std::nullopt;
        }
    return r;
}

QJsonObject solicitud(const Cabecera& cabecera, const QStringList& campos)
{
    QJsonObject o, pago, representante, casillas, deducciones;
    for (const Columna& c : tabla()) {
        const int i = cabecera.posicion.value(c.nombre, -1);
        if (i < 0 || i >= campos.size())
            continue;
        const QString& v = campos[i];
        switch (c.lugar) {
        case Lugar::Raiz: o.insert(c.clave, v); break;
        case Lugar::Representante: representante.insert(c.clave, v); break;
        case Lugar::FormaPago:
            // A blank payment form leaves the control as the boxes set it.
            if (!v.isEmpty())
                pago.insert(c.clave, v);
            break;
        case Lugar::Casilla:
            if (!v.isEmpty())
                casillas.insert(c.clave, c.codigo == 160 ? v : sinSeparadores(v));
            break;
        case Lugar::Deduccion:
            if (!v.isEmpty())
                deducciones.insert(c.clave, sinSeparadores(v));
            break;
        }
    }
    if (!pago.isEmpty())
        o.insert("formaPago", pago);
    if (!representante.isEmpty())
        o.insert("representante", representante);
    o.insert("casillas", casillas);
    o.insert("deducciones", deducciones);
    return o;
}

QStringList fila(const lectura834::Clave& clave, const QList<lectura834::FilaCasilla>& detalle,
                 const lectura834::Cabecera& cabecera)
{
    QHash<int, QString> valores;
    for (const lectura834::FilaCasilla& f : detalle)
        valores.insert(f.codigo.toInt(), f.valor);
    // A cheque number is kept as typed in the header; its detail row holds it
    // as a number, without leading zeros.
    if (!cabecera.nrocheque.isEmpty())
        valores.insert(12, cabecera.nrocheque);
    valores.insert(2, clave.ruc);
    valores.insert(7, clave.periodo);
    QStringList campos;
    for (const Columna& c : tabla())
        campos << valores.value(c.codigo);
    return campos;
}

} // namespace columnas
