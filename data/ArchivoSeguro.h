#pragma once
// Report files are written without following links: the bytes go to a new
// file in the same folder, which then takes the name (a rename replaces the
// name itself, never what a link points to). A name that already exists as
// anything but a regular file (a symbolic link, a folder, a device, a FIFO) is
// refused, so nothing outside the suite is ever overwritten through it.
// Every writer of report files and of Mens.txt goes through this class.

#include <QByteArray>
#include <QString>
#include <memory>

class QTemporaryFile;

class ArchivoSeguro {
public:
    explicit ArchivoSeguro(QString ruta = {});
    ~ArchivoSeguro();  // an unconfirmed file is discarded
    ArchivoSeguro(const ArchivoSeguro&) = delete;
    ArchivoSeguro& operator=(const ArchivoSeguro&) = delete;

    // Starts a new file for `ruta` (the one given, or the one set before).
    // False, and error(), when the name is not a regular file or the folder
    // cannot take a new file.
    bool abre(const QString& ruta = {});
    bool abierto() const;
    // Appends bytes; false once anything failed.
    bool escribe(const QByteArray& bytes);
    // Puts the new file in place under its name once its bytes are on the
    // disk (flushed and synced); false (and error()) when any write, the
    // flush or the sync failed or the name could not be taken. Nothing is left
    // behind on failure: the name keeps what it had.
    bool confirma();
    // Drops the new file; the name keeps what it had.
    void descarta();

    QString ruta() const { return ruta_; }
    // In Spanish, naming the file.
    QString error() const { return error_; }

    // Writes the whole file at once.
    static bool escribeTodo(const QString& ruta, const QByteArray& bytes, QString* error);
    // Why `ruta` cannot be written: empty when it is absent or a regular file.
    static QString rechazo(const QString& ruta);

private:
    void falla(const QString& motivo);

    QString ruta_;
    std::unique_ptr<QTemporaryFile> temporal_;
    QString error_;
    bool fallo_ = false;
};
