// The student's conclusions for the report, asked for in a small dialog of their own once the
// file is chosen: a labelled field that Tab leaves, so it reads and moves like any other.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace viewer {

class ConclusionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ConclusionsDialog(const QString &reportName, QWidget *parent = nullptr);

    // What was written, without blanks at either end; empty for lines to write on by hand.
    QString conclusions() const;

private:
    QPlainTextEdit *m_field = nullptr;
};

} // namespace viewer
