// The declaration form from the keyboard and through a screen reader: Tab
// through both asset pages, readable document types, and a name for every
// box and control in the accessibility tree.

#include "FormFixture.h"
#include "FormaDePagoQVR.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>

namespace {

using casillas834::Pagina;
using casillas834::Pestana;

TEST_F(FormFixture, TabAndShiftTabWalkBothAssetPagesInBoxOrder)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    const QList<int> corriente = casillas834::enPantalla(Pestana::Activos, Pagina::ActivoCorriente);
    QList<int> noCorriente = casillas834::enPantalla(Pestana::Activos, Pagina::ActivoNoCorriente);
    noCorriente.removeOne(330);
    for (int n : corriente + noCorriente) {
        ASSERT_TRUE(caja(n)->hasFocus()) << n;
        QTest::keyClick(caja(n), Qt::Key_Tab);
        if (n == 316) {
            EXPECT_EQ(frm->vScroll1()->value(), 15);
            EXPECT_TRUE(frm->frame34()->isVisible());
        }
    }
    EXPECT_TRUE(caja(330)->hasFocus());
    caja(319)->setFocus();
    QTest::keyClick(caja(319), Qt::Key_Backtab);
    ASSERT_TRUE(caja(318)->hasFocus());
    QTest::keyClick(caja(318), Qt::Key_Backtab);
    EXPECT_EQ(frm->vScroll1()->value(), 1);
    EXPECT_TRUE(frm->frame26()->isVisible());
    EXPECT_FALSE(frm->frame34()->isVisible());
    EXPECT_TRUE(caja(316)->hasFocus());
    QTest::keyClick(caja(316), Qt::Key_Backtab);
    EXPECT_TRUE(caja(315)->hasFocus());
}

TEST_F(FormFixture, DocumentTypesShowOnlyTheirNameAndKeepTheirFlags)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(4);
    QComboBox* tipos = frm->cboTipDocRepLegal();
    ASSERT_GT(tipos->count(), 0);
    // Nothing after the short name: neither in the open list nor in the closed box.
    const QRegularExpression tecnico(QStringLiteral("\\d+ \\d \\d\\s*$"));
    for (int i = 0; i < tipos->count(); ++i) {
        const QString visto = tipos->model()->index(i, 0).data(Qt::DisplayRole).toString();
        EXPECT_FALSE(visto.contains(tecnico)) << visto.toStdString();
        EXPECT_EQ(visto, visto.trimmed());
    }
    int carnet = -1;
    for (int i = 0; i < tipos->count(); ++i)
        if (tipos->itemText(i).startsWith(QStringLiteral("04")))
            carnet = i;
    ASSERT_GE(carnet, 0);
    tipos->setFocus();
    while (tipos->currentIndex() < carnet)
        QTest::keyClick(tipos, Qt::Key_Down);
    EXPECT_EQ(tipos->currentText(), QStringLiteral("04  -  CARNET EXT."));
    // Length 12 and data kind 0 still come from the whole record.
    EXPECT_EQ(texto(225), "04");
    EXPECT_EQ(caja(226)->maxLength(), 12);
    caja(226)->setFocus();
    QTest::keyClicks(caja(226), "ab12");
    EXPECT_EQ(texto(226), "AB12");
}

// Every interface under `raiz`, depth first.
void recorre(QAccessibleInterface* raiz, const std::function<void(QAccessibleInterface*)>& visita)
{
    visita(raiz);
    for (int i = 0; i < raiz->childCount(); ++i)
        if (QAccessibleInterface* hijo = raiz->child(i))
            recorre(hijo, visita);
}

TEST_F(FormFixture, ScreenReaderNamesEveryBoxAndControl)
{
    abre();
    identificacion();
    QMap<int, QString> nombres;
    QStringList sinNombre;
    int pestanas = 0;
    recorre(QAccessible::queryAccessibleInterface(frm.get()), [&](QAccessibleInterface* i) {
        const QString nombre = i->text(QAccessible::Name);
        if (i->role() == QAccessible::PageTab) {
            ++pestanas;
            EXPECT_FALSE(nombre.isEmpty());
            return;
        }
        auto* w = qobject_cast<QWidget*>(i->object());
        if (!w)
            return;
        if (const QString on = w->objectName(); on.startsWith(QStringLiteral("TxtValor_")))
            nombres.insert(on.mid(9).toInt(), nombre);
        const bool alcanzable = w->focusPolicy() & Qt::TabFocus;
        const bool control = i->role() == QAccessible::EditableText || i->role() == QAccessible::ComboBox
                             || i->role() == QAccessible::ScrollBar || i->role() == QAccessible::Grouping;
        if ((alcanzable || control) && nombre.trimmed().isEmpty())
            sinNombre << w->objectName() + QStringLiteral(" (") + QString::fromLatin1(w->metaObject()->className())
                             + u')';
    });
    EXPECT_EQ(pestanas, 5);
    EXPECT_TRUE(sinNombre.isEmpty()) << sinNombre.join(u", ").toStdString();

    ASSERT_EQ(nombres.size(), 46);
    EXPECT_EQ(nombres.value(300), QStringLiteral("300 Caja y bancos"));
    EXPECT_EQ(nombres.value(330), QStringLiteral("330 TOTAL ACTIVO NETO, calculada"));
    EXPECT_EQ(nombres.value(109), QStringLiteral("109 Activo Neto imponible actualizado al 31-03-2004, calculada"));
    EXPECT_EQ(nombres.value(225), QStringLiteral("225 Tipo de Documento"));
    for (const casillas834::Casilla& c : casillas834::tabla()) {
        QString esperado = QString::number(c.numero) + u' ' + casillas834::etiqueta(c.numero, QStringLiteral("2004"));
        esperado = esperado.simplified();
        if (esperado.endsWith(u':'))
            esperado = esperado.chopped(1).trimmed();
        if (c.tipo == casillas834::Tipo::Calculada)
            esperado += QStringLiteral(", calculada");
        EXPECT_EQ(nombres.value(c.numero), esperado);
    }
    // Each box's caption is its label's buddy.
    EXPECT_EQ(frm->etiquetaCasilla(300)->buddy(), caja(300));
}

} // namespace
