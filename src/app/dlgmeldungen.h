#pragma once
// Shows the messages of this session, oldest first, failures marked, so a
// message the next one replaced in the status bar can still be read.

#include <QDialog>

class Meldungsprotokoll;
class QListWidget;

class DlgMeldungen : public QDialog
{
    Q_OBJECT
public:
    DlgMeldungen(const Meldungsprotokoll& protokoll, QWidget* parent = nullptr);

private:
    QListWidget* liste = nullptr;
};
