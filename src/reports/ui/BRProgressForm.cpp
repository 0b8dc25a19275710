#include "reports/ui/BRProgressForm.h"

#include "reports/print/BRPrinter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TBRProgressForm::TBRProgressForm(QWidget *parent)
    : QDialog(parent), Info(new QLabel), Gauge(new QProgressBar), CancelButton(new QPushButton(QStringLiteral("Renunță")))
{
    setWindowTitle(QStringLiteral("Progresul tipăririi"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    Info->setAlignment(Qt::AlignCenter);
    Gauge->setRange(0, 100);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Info);
    layout->addWidget(Gauge);
    layout->addWidget(CancelButton, 0, Qt::AlignHCenter);
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        if (m_printer)
            m_printer->Cancel();
    });
}

void TBRProgressForm::SetPrinter(TBRPrinter *printer)
{
    m_printer = printer;
    connect(printer, &TBRPrinter::ProgressChanged, this, &TBRProgressForm::Update);
}

void TBRProgressForm::Update(int percent)
{
    if (percent % 5 != 0)
        return;
    Gauge->setValue(percent);
    Info->setText(QStringLiteral("%1%  realizat").arg(percent));
    QCoreApplication::processEvents();
}
