#include "SpoolWriter.h"

#include "SpoolFormat.h"

SpoolWriter::SpoolWriter() : encoder_("windows-1252") {}

SpoolWriter::~SpoolWriter()
{
    if (file_.abierto())
        close();
}

bool SpoolWriter::open(const QString& path)
{
    return file_.abre(path);
}

bool SpoolWriter::close()
{
    return file_.confirma();
}

QString SpoolWriter::error() const { return file_.error(); }

bool SpoolWriter::tagAllowed(QStringView line) const
{
    return !line.startsWith(QLatin1StringView("<!")) || pageCounter_ <= 1;
}

void SpoolWriter::write(QStringView line)
{
    file_.escribe(SpoolFormat::encodeLine(encoder_, line));
}

void SpoolWriter::ImprimeLinea(QStringView line)
{
    if (tagAllowed(line))
        write(line);
}

void SpoolWriter::ImprimePos(int x, int y, QStringView text, bool bold, int size, int page)
{
    if (text == SpoolFormat::kNuevaHoja)
        write(QString(SpoolFormat::kNuevaHoja));
    else if (text.startsWith(QLatin1StringView("<!")))
        ImprimeLinea(text);
    else
        write(SpoolFormat::posLine(x, y, text, bold, size, page));
}

void SpoolWriter::ImprimeCuadro(int x1, int y1, int x2, int y2, int page)
{
    write(SpoolFormat::cuadroLine(x1, y1, x2, y2, page));
}
