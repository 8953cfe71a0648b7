// The conclusions' dialog.
#include "conclusionsdialog.h"

#include "labreport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer {

ConclusionsDialog::ConclusionsDialog(const QString &reportName, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Conclusiones de %1").arg(reportName));

    m_field = new QPlainTextEdit(this);
    m_field->setObjectName(QStringLiteral("conclusiones"));
    m_field->setAccessibleName(tr("Conclusiones"));
    m_field->setPlaceholderText(tr("Déjelo vacío para escribirlas a mano en el papel."));
    // Tab goes on to the buttons: a conclusion has no use for a tab character.
    m_field->setTabChangesFocus(true);
    m_field->setMinimumHeight(m_field->fontMetrics().lineSpacing() * 6);

    auto *label = new QLabel(tr("&Conclusiones:"), this);
    label->setBuddy(m_field);

    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("rechazo"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #960000"));
    m_refusal->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_field);
    layout->addWidget(m_refusal);
    layout->addWidget(buttons);
    m_field->setFocus();
}

void ConclusionsDialog::accept()
{
    const QString refusal = report::conclusionsRefusal(conclusions());
    m_refusal->setText(refusal);
    m_refusal->setVisible(!refusal.isEmpty());
    if (!refusal.isEmpty()) {
        m_field->setFocus();
        return;
    }
    QDialog::accept();
}

QString ConclusionsDialog::conclusions() const
{
    return m_field->toPlainText().trimmed();
}

} // namespace viewer
