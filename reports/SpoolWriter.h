#pragma once
// The spool file writer of module ImpRep: one report file at a time,
// written line by line in the markup of SpoolFormat.h.

#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

class SpoolWriter {
public:
    SpoolWriter();
    ~SpoolWriter();
    SpoolWriter(const SpoolWriter&) = delete;
    SpoolWriter& operator=(const SpoolWriter&) = delete;

    // Creates or truncates the file. False (and error()) when it cannot.
    bool open(const QString& path);
    // Flushes and closes; false when any line failed to reach the disk.
    bool close();
    bool isOpen() const { return file_.isOpen(); }
    QString error() const { return error_; }

    // Tag lines ("<!...") pass only while this is 1 or less.
    void setPageCounter(int counter) { pageCounter_ = counter; }
    int pageCounter() const { return pageCounter_; }

    // Writes the line unchanged; a tag line only through the gate.
    void ImprimeLinea(QStringView line);
    // Writes "pPos|x|y|text|bold|size|page|"; the text "pNuevaHoja" writes
    // the bare page break instead, and a tag text goes through the gate.
    void ImprimePos(int x, int y, QStringView text, bool bold, int size, int page);
    // Writes "pCuadro|x1|y1|x2|y2|page|".
    void ImprimeCuadro(int x1, int y1, int x2, int y2, int page);

private:
    bool tagAllowed(QStringView line) const;
    void write(QStringView line);

    QFile file_;
    QStringEncoder encoder_;
    QString error_;
    int pageCounter_ = 1;
    bool failed_ = false;
};
