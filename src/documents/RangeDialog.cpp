#include "documents/RangeDialog.h"

#include "controls/FixedDialog.h"
#include "core/EnterTab.h"
#include "core/NumericF.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

RangeDialog::RangeDialog(const Labels &labels, QWidget *parent)
    : QDialog(parent, kFixedDialogFlags)
{
    setWindowTitle(labels.caption);
    m_first = new TNumericF(this);
    m_last = new TNumericF(this);
    m_date = new QDateEdit(this);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_date->setCalendarPopup(true);
    m_date->setDate(QDate::currentDate());
    m_listeaza = new QPushButton(QStringLiteral("&Listeaza"), this);
    m_renunt = new QPushButton(QStringLiteral("&Renunt"), this);
    // Enter belongs to the inputs: it moves on rather than pressing a button.
    m_listeaza->setAutoDefault(false);
    m_renunt->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(labels.first, m_first);
    form->addRow(labels.last, m_last);
    form->addRow(labels.date, m_date);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_listeaza);
    buttons->addWidget(m_renunt);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new EnterTab(this, {m_first, m_last, m_date}, m_date, [this] {
        if (m_enterInDateConfirms)
            m_listeaza->click();
    });
    connect(m_listeaza, &QPushButton::clicked, this, [this] { listeazaClicked(); });
    connect(m_renunt, &QPushButton::clicked, this, &QDialog::reject);
}

bool RangeDialog::runModal()
{
    return exec() == QDialog::Accepted;
}
