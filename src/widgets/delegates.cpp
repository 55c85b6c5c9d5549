#include "widgets/delegates.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QIntValidator>
#include <QLineEdit>

ComboItemDelegate::ComboItemDelegate(const QStringList& items, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_items(items)
{
}

QWidget* ComboItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* box = new QComboBox(parent);
    box->addItems(m_items);
    return box;
}

void ComboItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* box = qobject_cast<QComboBox*>(editor);
    if (!box)
        return;
    // A stored value outside the list (a roster player's "Alle", a group
    // from an imported file, an empty cell) is offered as it is, so the
    // editor never starts on another entry and stores that one on closing.
    const QString gespeichert = index.data(Qt::EditRole).toString();
    int i = box->findText(gespeichert, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0) {
        box->insertItem(0, gespeichert);
        i = 0;
    }
    box->setCurrentIndex(i);
}

void ComboItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* box = qobject_cast<QComboBox*>(editor);
    // Closing the editor without a new choice is no change: the view closes
    // it whenever the cursor passes through the cell.
    if (box && box->currentText() != index.data(Qt::EditRole).toString())
        model->setData(index, box->currentText(), Qt::EditRole);
}

void ComboItemDelegate::updateEditorGeometry(
    QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

ComboDelegate::ComboDelegate(QObject* parent)
    : QItemDelegate(parent)
{
}

QWidget* ComboDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* box = new QComboBox(parent);
    box->addItem(tr("Ja"), true);
    box->addItem(tr("Nein"), false);
    box->setCurrentIndex(box->findData(index.data(Qt::EditRole).toBool()));
    return box;
}

void ComboDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        const int i = box->findText(index.data(Qt::DisplayRole).toString(), Qt::MatchExactly);
        if (i >= 0)
            box->setCurrentIndex(i);
    }
}

void ComboDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor))
        model->setData(index, box->currentText(), Qt::EditRole);
}

void ComboDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

StringItemDelegate::StringItemDelegate(int mode, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_mode(mode)
{
    if (m_mode == Ganzzahl) {
        m_validator = new QIntValidator(1, 1000);
    } else if (m_mode == Dezimal) {
        auto* v = new QDoubleValidator(0.0, 100.0, 1);
        v->setNotation(QDoubleValidator::StandardNotation);
        m_validator = v;
    }
}

StringItemDelegate::~StringItemDelegate()
{
    delete m_validator;
}

QWidget* StringItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (m_validator)
        edit->setValidator(m_validator);
    return edit;
}

void StringItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit)
        return;
    const QString text = index.data(Qt::EditRole).toString();
    if (m_mode == Ganzzahl)
        edit->setText(QString::number(static_cast<int>(text.toDouble())));
    else if (m_mode == Dezimal)
        edit->setText(QString::number(QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(), 'f', 1));
    else
        edit->setText(text);
}

void StringItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, edit->text(), Qt::EditRole);
}

void StringItemDelegate::updateEditorGeometry(
    QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}
