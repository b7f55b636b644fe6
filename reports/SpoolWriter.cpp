#include "SpoolWriter.h"

#include "SpoolFormat.h"

SpoolWriter::SpoolWriter() : encoder_("windows-1252") {}

SpoolWriter::~SpoolWriter()
{
    if (file_.isOpen())
        close();
}

bool SpoolWriter::open(const QString& path)
{
    if (file_.isOpen())
        close();
    file_.setFileName(path);
    failed_ = false;
    error_.clear();
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}

bool SpoolWriter::close()
{
    if (!file_.isOpen())
        return !failed_;
    if (!file_.flush() && !failed_) {
        failed_ = true;
        error_ = file_.errorString();
    }
    file_.close();
    return !failed_;
}

bool SpoolWriter::tagAllowed(QStringView line) const
{
    return !line.startsWith(QLatin1StringView("<!")) || pageCounter_ <= 1;
}

void SpoolWriter::write(QStringView line)
{
    if (!file_.isOpen()) {
        if (!failed_) {
            failed_ = true;
            error_ = QStringLiteral("spool file not open");
        }
        return;
    }
    const QByteArray bytes = SpoolFormat::encodeLine(encoder_, line);
    if (file_.write(bytes) != bytes.size() && !failed_) {
        failed_ = true;
        error_ = file_.errorString();
    }
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
