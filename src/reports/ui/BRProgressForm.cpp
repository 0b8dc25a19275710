#include "reports/ui/BRProgressForm.h"

#include "reports/print/BRPrinter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TBRProgressForm::TBRProgressForm(QWidget *parent)
    : QDialog(parent), Info(new QLabel), Gauge(new QProgressBar), CancelButton(new QPushButton(QStringLiteral("Renunță")))
{
    setWindowTitle(QStringLiteral("Progresul tipăririi"));
    // A fixed dialog border: no minimise or maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    Info->setAlignment(Qt::AlignCenter);
    Gauge->setRange(0, 100);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Info);
    layout->addWidget(Gauge);
    layout->addWidget(CancelButton, 0, Qt::AlignHCenter);
    // The small window of its design, widened only as far as its whole title needs beside the close button.
    const int titleWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(windowTitle()) + 56;
    setFixedSize(std::max(ClientWidth, titleWidth), ClientHeight);
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
