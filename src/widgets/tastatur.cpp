#include "widgets/tastatur.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QChildEvent>
#include <QDoubleValidator>
#include <QFocusEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>

namespace
{

bool istEnter(const QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(e);
    return (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        && (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

class TabellenTasten : public QObject
{
public:
    TabellenTasten(QAbstractItemView* ansicht, bool enterNachUnten)
        : QObject(ansicht)
        , m_ansicht(ansicht)
        , m_ansichtObjekt(ansicht)
        , m_viewport(ansicht->viewport())
        , m_enterNachUnten(enterNachUnten)
    {
        setObjectName(QStringLiteral("tabellenTasten"));
        ansicht->installEventFilter(this);
        ansicht->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* objekt, QEvent* e) override
    {
        // Compared as plain objects: the filter also sees the view's last
        // events while it is being destroyed.
        if (objekt == m_ansichtObjekt) {
            // Enter on a cell that is not being edited opens its editor;
            // on a read-only cell it keeps its usual meaning.
            if (istEnter(e)) {
                const QModelIndex aktuell = m_ansicht->currentIndex();
                if (!aktuell.isValid() || !(aktuell.flags() & Qt::ItemIsEditable))
                    return false;
                // An open editor let its Enter pass on to the view; it has
                // been taken, and must not press a dialog's default button.
                if (!m_ansicht->indexWidget(aktuell))
                    m_ansicht->edit(aktuell);
                return true;
            }
            return false;
        }
        if (objekt == m_viewport) {
            // Editors are children of the viewport; the delegate's own filter
            // is installed after this one and runs first, so Enter reaches
            // us only once the delegate has accepted the text and queued
            // its commit.
            if (m_enterNachUnten && e->type() == QEvent::ChildAdded) {
                auto* kind = static_cast<QChildEvent*>(e)->child();
                if (kind->isWidgetType())
                    kind->installEventFilter(this);
            }
            return false;
        }
        if (m_enterNachUnten && istEnter(e)) {
            QPointer<QAbstractItemView> ansicht = m_ansicht;
            // Queued behind the delegate's commit, so the value is stored
            // before the current cell moves on.
            QMetaObject::invokeMethod(
                this,
                [ansicht] {
                    if (!ansicht)
                        return;
                    const QModelIndex aktuell = ansicht->currentIndex();
                    const QModelIndex darunter = aktuell.sibling(aktuell.row() + 1, aktuell.column());
                    if (darunter.isValid())
                        ansicht->setCurrentIndex(darunter);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QAbstractItemView* m_ansicht;
    QObject* m_ansichtObjekt;
    QObject* m_viewport;
    bool m_enterNachUnten;
};

// Selects a number field's text when it gets the focus from the keyboard
// or from a dialog that opens; queued, since the field places its cursor
// after the focus event.
class ZahlenMarkierer : public QObject
{
public:
    explicit ZahlenMarkierer(QObject* eltern)
        : QObject(eltern)
    {
        setObjectName(QStringLiteral("zahlenMarkierer"));
    }

protected:
    bool eventFilter(QObject* objekt, QEvent* e) override
    {
        if (e->type() != QEvent::FocusIn || !objekt->isWidgetType())
            return false;
        if (static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason)
            return false;
        auto* feld = static_cast<QWidget*>(objekt);
        if (!Tastatur::istZahlenfeld(feld))
            return false;
        QPointer<QWidget> ziel = feld;
        QMetaObject::invokeMethod(
            this,
            [ziel] {
                if (!ziel || !ziel->hasFocus())
                    return;
                if (auto* spin = qobject_cast<QAbstractSpinBox*>(ziel.data()))
                    spin->selectAll();
                else if (auto* zeile = qobject_cast<QLineEdit*>(ziel.data()))
                    zeile->selectAll();
            },
            Qt::QueuedConnection);
        return false;
    }
};

} // namespace

namespace Tastatur
{

bool istZahlenfeld(const QWidget* w)
{
    if (!w)
        return false;
    // Dates are typed section by section; they keep their own behaviour.
    if (qobject_cast<const QSpinBox*>(w) || qobject_cast<const QDoubleSpinBox*>(w))
        return true;
    const auto* zeile = qobject_cast<const QLineEdit*>(w);
    if (!zeile || zeile->isReadOnly())
        return false;
    if (zeile->property("zahlenfeld").toBool())
        return true;
    return qobject_cast<const QIntValidator*>(zeile->validator())
        || qobject_cast<const QDoubleValidator*>(zeile->validator());
}

void zahlenfelderMarkieren()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<QObject*>(QStringLiteral("zahlenMarkierer"), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new ZahlenMarkierer(app));
}

void tabelleBedienbar(QAbstractItemView* ansicht, bool enterNachUnten)
{
    if (!ansicht || ansicht->findChild<QObject*>(QStringLiteral("tabellenTasten"), Qt::FindDirectChildrenOnly))
        return;
    ansicht->setEditTriggers(ansicht->editTriggers() | QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    ansicht->setTabKeyNavigation(true);
    new TabellenTasten(ansicht, enterNachUnten);
}

} // namespace Tastatur
