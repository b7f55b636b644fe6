#pragma once
// The suite's status bar: a mode panel, four text panels (first message,
// second message, extra text, form code) and a hint panel that the main
// window clears as the mouse moves and before each command.

#include <QWidget>

class QLabel;

class BarradeEstadoQVR : public QWidget {
    Q_OBJECT
public:
    explicit BarradeEstadoQVR(QWidget* parent = nullptr);

    // Mode 1 and the four panels, in order. The print selection leaves the
    // period in the extra panel, where the declaration report reads it.
    void reinicia(const QString& mensaje1, const QString& mensaje2, const QString& extra, const QString& formulario);

    int modo() const { return modo_; }
    void setModo(int modo);
    QString mensaje1() const;
    QString mensaje2() const;
    QString extra() const;
    QString formulario() const;

    QString mensaje() const;                 // the hint panel
    void setMensaje(const QString& texto);
    void limpiaMensaje();

private:
    int modo_ = 0;
    QLabel* pnlModo_;
    QLabel* pnlMensaje1_;
    QLabel* pnlMensaje2_;
    QLabel* pnlExtra_;
    QLabel* pnlFormulario_;
    QLabel* pnlMensaje_;
};
