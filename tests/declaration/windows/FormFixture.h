#pragma once
// One declaration form on a sample suite, shown and active, and the user's
// ways of filling its identification and boxes.

#include "FormTestSupport.h"
#include "Frm834.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <memory>

using Pregunta = Declaracion834::Pregunta;

struct LlamadaBarra {
    QString ruc, nombre, periodo, usuario;
};

// One form on a sample suite, shown and active.
class FormFixture : public ::testing::Test {
protected:
    SuiteDeMuestra suite;
    std::unique_ptr<Frm834> frm;
    QList<LlamadaBarra> barra;
    QSqlDatabase conexionDelFormulario;   // when valid, the form's connection instead of the suite's

    void abre(int modo = 0, const QVariantList& valores = {}, const QString& periodo = {},
              const QString& norden = {})
    {
        ContextoDeclaracion c;
        c.db = conexionDelFormulario.isValid() ? conexionDelFormulario : suite.db();
        c.sysUser = QStringLiteral("ADMIN");
        c.sysPath = suite.path();
        c.barraEstado = [this](const QString& r, const QString& n, const QString& p, const QString& u) {
            barra.append({r, n, p, u});
        };
        c.periodoSeleccionado = periodo;
        c.nordenSeleccionado = norden;
        frm = std::make_unique<Frm834>(c);
        frm->setApertura(modo, valores);
        frm->show();
        frm->activateWindow();
        // A message the form shows as it opens may take the activation away.
        if (!QTest::qWaitForWindowActive(frm.get(), 1000))
            frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    }

    QLineEdit* caja(int n) const { return frm->txtValor(n); }
    QString texto(int n) const { return caja(n)->text(); }

    // Picks the taxpayer with the keyboard: focus the list and move down to it.
    void eligeContribuyente(const QString& ruc)
    {
        QComboBox* cmb = frm->cmbRuc();
        cmb->setFocus();
        int destino = -1;
        for (int i = 0; i < cmb->count(); ++i)
            if (cmb->itemText(i).startsWith(ruc))
                destino = i;
        ASSERT_GE(destino, 0);
        // A choice whose read fails locks the form: the list then stays put.
        while (cmb->currentIndex() < destino && cmb->isEnabled())
            QTest::keyClick(cmb, Qt::Key_Down);
    }

    void escribeEjercicio(const QString& anio)
    {
        frm->mkePeriodo()->setFocus();
        frm->mkePeriodo()->setCursorPosition(0);
        QTest::keyClicks(frm->mkePeriodo(), anio);
        QTest::keyClick(frm->mkePeriodo(), Qt::Key_Return);   // moves on: the year is checked
        QCoreApplication::processEvents();
    }

    // Taxpayer, telephone, year and "No" to the rectification: tab 0 done.
    void identificacion(const QString& anio = QStringLiteral("2004"), const QString& ruc = QString::fromLatin1(kRucA))
    {
        eligeContribuyente(ruc);
        frm->txtTelefono()->clear();
        QTest::keyClicks(frm->txtTelefono(), "4567890");
        QTest::mouseClick(frm->opcion(Pregunta::Rectifica, 0), Qt::LeftButton);
        escribeEjercicio(anio);
    }

    // Types an amount into a box and leaves it with Enter.
    void tecleaCasilla(int n, const QString& importe)
    {
        caja(n)->setFocus();
        caja(n)->selectAll();
        QTest::keyClick(caja(n), Qt::Key_Backspace);
        QTest::keyClicks(caja(n), importe);
        QTest::keyClick(caja(n), Qt::Key_Return);
    }

    // Offscreen, nothing gives the form the focus back after a message box.
    void reactiva()
    {
        frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    }

    static bool gris(QLineEdit* c) { return c->palette().color(QPalette::Base) == QColor(0xC0, 0xC0, 0xC0); }
};
