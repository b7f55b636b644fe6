#include "EscritorSpool.h"

#include "FormatoSpool.h"

EscritorSpool::EscritorSpool() : encoder_("windows-1252") {}

EscritorSpool::~EscritorSpool()
{
    if (file_.abierto())
        close();
}

bool EscritorSpool::open(const QString& path)
{
    return file_.abre(path);
}

bool EscritorSpool::close()
{
    return file_.confirma();
}

QString EscritorSpool::error() const { return file_.error(); }

bool EscritorSpool::etiquetaPermitida(QStringView line) const
{
    return !line.startsWith(QLatin1StringView("<!")) || pageCounter_ <= 1;
}

void EscritorSpool::write(QStringView line)
{
    file_.escribe(FormatoSpool::codificaLinea(encoder_, line));
}

void EscritorSpool::ImprimeLinea(QStringView line)
{
    if (etiquetaPermitida(line))
        write(line);
}

void EscritorSpool::ImprimePos(int x, int y, QStringView text, bool bold, int size, int page)
{
    if (text == FormatoSpool::kNuevaHoja)
        write(QString(FormatoSpool::kNuevaHoja));
    else if (text.startsWith(QLatin1StringView("<!")))
        ImprimeLinea(text);
    else
        write(FormatoSpool::lineaPos(x, y, text, bold, size, page));
}

void EscritorSpool::ImprimeCuadro(int x1, int y1, int x2, int y2, int page)
{
    write(FormatoSpool::lineaCuadro(x1, y1, x2, y2, page));
}
