#pragma once
// The spool file writer of module ImpRep: one report file at a time,
// written line by line in the markup of FormatoSpool.h. The file takes its
// name when it is closed whole (ArchivoSeguro: never through a link).

#include "ArchivoSeguro.h"

#include <QString>
#include <QStringEncoder>
#include <QStringView>

class EscritorSpool {
public:
    EscritorSpool();
    ~EscritorSpool();
    EscritorSpool(const EscritorSpool&) = delete;
    EscritorSpool& operator=(const EscritorSpool&) = delete;

    // Starts the file. False (and error()) when it cannot, or when the name
    // is a link, a folder or anything but a regular file.
    bool open(const QString& path);
    // Puts the file in place; false when any line failed to reach the disk,
    // and then the name keeps what it had.
    bool close();
    bool isOpen() const { return file_.abierto(); }
    QString error() const;

    // Tag lines ("<!...") pass only while this is 1 or less.
    void fijaContadorPaginas(int counter) { pageCounter_ = counter; }
    int contadorPaginas() const { return pageCounter_; }

    // Writes the line unchanged; a tag line only through the gate.
    void ImprimeLinea(QStringView line);
    // Writes "pPos|x|y|text|bold|size|page|"; the text "pNuevaHoja" writes
    // the bare page break instead, and a tag text goes through the gate.
    void ImprimePos(int x, int y, QStringView text, bool bold, int size, int page);
    // Writes "pCuadro|x1|y1|x2|y2|page|".
    void ImprimeCuadro(int x1, int y1, int x2, int y2, int page);

private:
    bool etiquetaPermitida(QStringView line) const;
    void write(QStringView line);

    ArchivoSeguro file_;
    QStringEncoder encoder_;
    int pageCounter_ = 1;
};
