#pragma once
// Answers the modal windows that a command opens, in the order they come:
// every message box is recorded and answered (a Yes/No question as the test
// says, any other box with its button), every inconsistency list is recorded
// and accepted, and any other window goes through the test's steps, one after
// the other. Clicks are queued, so a window that a click opens runs in its own
// event loop and the next tick finds it. A script still unfinished after ten
// seconds gives up: it closes the modal windows so that the test can end
// (and fail on terminado()).

#include "FrmConsist.h"
#include "Frm834.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <deque>
#include <functional>

inline void pulsa(QAbstractButton* boton)
{
    QMetaObject::invokeMethod(boton, &QAbstractButton::click, Qt::QueuedConnection);
}

class Guion {
public:
    struct Mensaje {
        QString texto;
        QString titulo;
        QMessageBox::Icon icono = QMessageBox::NoIcon;
        bool ocupado = false;   // shown under the hourglass
        int pestana = -1;       // the declaration form's tab behind it
    };
    QList<Mensaje> mensajes;
    QStringList listas;                                        // text of every inconsistency list shown
    QMessageBox::StandardButton respuesta = QMessageBox::No;   // to Yes/No questions

    Guion()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { atiende(); });
        timer_.start();
        reloj_.start();
    }

    // A step gets the active modal window and returns false while it is not its turn.
    void paso(std::function<bool(QWidget*)> f) { pasos_.push_back(std::move(f)); }
    bool terminado() const { return pasos_.empty(); }

    QStringList textos() const
    {
        QStringList t;
        for (const Mensaje& m : mensajes)
            t << m.texto;
        return t;
    }

private:
    void atiende()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w == atendida_)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            const auto* form = qobject_cast<Frm834*>(box->parentWidget());
            mensajes.append({box->text(), box->windowTitle(), box->icon(), QApplication::overrideCursor() != nullptr,
                             form ? form->sstab1()->currentIndex() : -1});
            atendida_ = w;
            pulsa(box->button(QMessageBox::Yes) ? box->button(respuesta) : box->buttons().value(0));
            return;
        }
        if (qobject_cast<FrmConsist*>(w)) {
            listas << w->findChild<QPlainTextEdit*>(QStringLiteral("TxtPreliminar"))->toPlainText();
            atendida_ = w;
            pulsa(w->findChild<QPushButton*>(QStringLiteral("CmdAceptar")));
            return;
        }
        if (reloj_.elapsed() > kPlazoMs) {
            if (auto* dialogo = qobject_cast<QDialog*>(w))
                QMetaObject::invokeMethod(dialogo, &QDialog::reject, Qt::QueuedConnection);
            atendida_ = w;
            return;
        }
        if (!pasos_.empty() && pasos_.front()(w))
            pasos_.pop_front();
    }

    static constexpr qint64 kPlazoMs = 10000;
    QElapsedTimer reloj_;

    QTimer timer_;
    std::deque<std::function<bool(QWidget*)>> pasos_;
    QPointer<QWidget> atendida_;
};
