#pragma once
// Item delegates shared by the program's tables: combo boxes for fixed
// choices and a validated line edit for the rules tree.

#include <QItemDelegate>
#include <QStringList>
#include <QStyledItemDelegate>

class QValidator;

// A cell edited through a combo box of fixed texts.
class ComboItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    ComboItemDelegate(const QStringList& items, QObject* parent = nullptr);
    void setItems(const QStringList& items) { m_items = items; }
    const QStringList& items() const { return m_items; }
    // When set, a stored value outside the list is offered as the editor's
    // first entry and is where the editor starts, so leaving the cell
    // without a choice keeps it. Off by default: lists whose cells must end
    // on one of the entries start on the first one.
    void setGespeichertenWertAnbieten(bool ja) { m_gespeichertAnbieten = ja; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(
        QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QStringList m_items;
    bool m_gespeichertAnbieten = false;
};

// A yes/no cell.
class ComboDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit ComboDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(
        QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// A line edit with one of three modes: 0 plain text, 1 decimal 0.0-100.0
// with one decimal, 2 integer 1-1000.
class StringItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    enum Modus { Text = 0, Dezimal = 1, Ganzzahl = 2 };
    StringItemDelegate(int mode, QObject* parent = nullptr);
    ~StringItemDelegate() override;
    int mode() const { return m_mode; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(
        QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_mode;
    QValidator* m_validator = nullptr;
};
