// The student's conclusions for the report, asked for in a small dialog of their own once the
// file is chosen: a labelled field that Tab leaves, so it reads and moves like any other. Text
// the two pages have no room for is refused there, with the limit, before anything is written.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace viewer {

class ConclusionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ConclusionsDialog(const QString &reportName, QWidget *parent = nullptr);

    // What was written, without blanks at either end; empty for lines to write on by hand.
    QString conclusions() const;

public slots:
    // Closes only on conclusions the report has room for; otherwise says why, and keeps them.
    void accept() override;

private:
    QPlainTextEdit *m_field = nullptr;
    QLabel *m_refusal = nullptr;
};

} // namespace viewer
