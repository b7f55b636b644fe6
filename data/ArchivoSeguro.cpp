#include "ArchivoSeguro.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errnoTexto(int codigo) { return QString::fromLocal8Bit(std::strerror(codigo)); }

// What stands at the name, when it is not something a report may replace.
QString clase(mode_t modo)
{
    if (S_ISLNK(modo))
        return QStringLiteral("es un enlace simbólico");
    if (S_ISDIR(modo))
        return QStringLiteral("es una carpeta");
    if (!S_ISREG(modo))
        return QStringLiteral("no es un archivo común");
    return {};
}

}  // namespace

ArchivoSeguro::ArchivoSeguro(QString ruta) : ruta_(std::move(ruta)) {}

ArchivoSeguro::~ArchivoSeguro() { descarta(); }

QString ArchivoSeguro::rechazo(const QString& ruta)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(ruta).constData(), &st) != 0)
        return errno == ENOENT ? QString()
                               : QStringLiteral("No se puede escribir el archivo %1: %2").arg(ruta, errnoTexto(errno));
    const QString motivo = clase(st.st_mode);
    return motivo.isEmpty() ? QString()
                            : QStringLiteral("No se escribe el archivo %1: %2").arg(ruta, motivo);
}

void ArchivoSeguro::falla(const QString& motivo)
{
    if (!fallo_)
        error_ = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(ruta_, motivo);
    fallo_ = true;
}

bool ArchivoSeguro::abre(const QString& ruta)
{
    descarta();
    if (!ruta.isEmpty())
        ruta_ = ruta;
    fallo_ = false;
    error_ = rechazo(ruta_);
    if (!error_.isEmpty()) {
        fallo_ = true;
        return false;
    }
    // The new file is made beside the name, so the rename stays in one file system.
    const QFileInfo info(ruta_);
    temporal_ = std::make_unique<QTemporaryFile>(info.absolutePath() + u'/' + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!temporal_->open()) {
        falla(temporal_->errorString());
        temporal_.reset();
        return false;
    }
    // A report file gets the permissions any new file gets here, not the
    // private ones of a temporary file.
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    ::fchmod(temporal_->handle(), 0666 & ~mascara);
    return true;
}

bool ArchivoSeguro::abierto() const { return temporal_ != nullptr; }

bool ArchivoSeguro::escribe(const QByteArray& bytes)
{
    if (!temporal_) {
        falla(QStringLiteral("no está abierto"));
        return false;
    }
    // Straight to the descriptor, so that a refusal (a full disk) is seen here
    // with its own reason.
    for (qsizetype hecho = 0; !fallo_ && hecho < bytes.size();) {
        const ssize_t n = ::write(temporal_->handle(), bytes.constData() + hecho, size_t(bytes.size() - hecho));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            falla(errnoTexto(n < 0 ? errno : ENOSPC));
        else
            hecho += n;
    }
    return !fallo_;
}

bool ArchivoSeguro::confirma()
{
    if (!temporal_) {
        falla(QStringLiteral("no está abierto"));
        return false;
    }
    // A full disk may refuse the bytes only when they are put on it: the name
    // is taken only once they are.
    if (!fallo_ && ::fsync(temporal_->handle()) != 0)
        falla(errnoTexto(errno));
    if (fallo_) {
        descarta();
        return false;
    }
    const QByteArray nuevo = QFile::encodeName(temporal_->fileName());
    temporal_->setAutoRemove(false);
    temporal_->close();
    // rename() takes the name itself: a link put there meanwhile is replaced,
    // never followed; a folder put there makes it fail.
    if (std::rename(nuevo.constData(), QFile::encodeName(ruta_).constData()) != 0) {
        const int codigo = errno;
        std::remove(nuevo.constData());
        temporal_.reset();
        falla(codigo == EISDIR ? QStringLiteral("es una carpeta") : errnoTexto(codigo));
        return false;
    }
    temporal_.reset();
    return true;
}

void ArchivoSeguro::descarta() { temporal_.reset(); }

bool ArchivoSeguro::escribeTodo(const QString& ruta, const QByteArray& bytes, QString* error)
{
    ArchivoSeguro archivo(ruta);
    const bool ok = archivo.abre() && archivo.escribe(bytes) && archivo.confirma();
    if (!ok && error)
        *error = archivo.error();
    return ok;
}
