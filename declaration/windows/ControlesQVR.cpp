#include "ControlesQVR.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>

namespace controlesqvr {

namespace {

class FiltroPegado : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* campo = qobject_cast<QLineEdit*>(watched);
        if (!campo)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            auto* tecla = static_cast<QKeyEvent*>(event);
            const bool pegar = tecla->matches(QKeySequence::Paste)
                               || (tecla->key() == Qt::Key_Insert && (tecla->modifiers() & Qt::ShiftModifier));
            if (pegar) {
                event->accept();
                return true;
            }
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            // X11 pastes the selection with the middle button.
            return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        case QEvent::ContextMenu: {
            QPointer<QMenu> menu = campo->createStandardContextMenu();
            for (QAction* accion : menu->actions())
                if (accion->objectName() == QLatin1String("edit-paste"))
                    menu->removeAction(accion);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->setObjectName(QStringLiteral("menuContextual"));
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        default:
            return false;
        }
    }
};

// Width of a line edit that shows `texto` whole: the text and the pixel of
// the cursor beside it, the two pixels the field keeps free on either side,
// its text margins, its contents margins and the frame of its style.
int anchoNecesario(const QLineEdit* campo, const QString& texto)
{
    QStyleOptionFrame opcion;
    opcion.initFrom(campo);
    opcion.rect = QRect(0, 0, 1000, 100);
    opcion.lineWidth = campo->hasFrame() ? campo->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opcion, campo) : 0;
    opcion.midLineWidth = 0;
    opcion.state |= QStyle::State_Sunken;
    const int marco =
        opcion.rect.width() - campo->style()->subElementRect(QStyle::SE_LineEditContents, &opcion, campo).width();
    const QMargins margenTexto = campo->textMargins();
    const QMargins contenido = campo->contentsMargins();
    return campo->fontMetrics().horizontalAdvance(texto) + 1 + 2 * 2 + margenTexto.left() + margenTexto.right()
           + contenido.left() + contenido.right() + marco;
}

class AnchoMinimo : public QObject {
public:
    AnchoMinimo(QLineEdit* campo, const QString& texto) : QObject(campo), texto_(texto) { aplica(campo); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            aplica(static_cast<QLineEdit*>(watched));
        return false;
    }

private:
    void aplica(QLineEdit* campo) const { campo->setMinimumWidth(anchoNecesario(campo, texto_)); }

    QString texto_;
};

} // namespace

void anchoParaMostrar(QLineEdit* campo, const QString& texto)
{
    campo->installEventFilter(new AnchoMinimo(campo, texto));
}

void nombra(QWidget* control, const QString& nombre)
{
    control->setAccessibleName(nombre);
    if (auto* lista = qobject_cast<QComboBox*>(control))
        lista->view()->setAccessibleName(nombre);
}

void rechazaPegado(QLineEdit* campo)
{
    campo->setAcceptDrops(false);
    campo->installEventFilter(new FiltroPegado(campo));
}

int anchoPromedioCaracter()
{
    static const QString letras = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return QFontMetrics(QApplication::font()).horizontalAdvance(letras) / 52;
}

void ensanchaLista(QComboBox* lista, int caracteres)
{
    lista->view()->setMinimumWidth((caracteres - 2) * anchoPromedioCaracter());
}

} // namespace controlesqvr
