#include "core/Contor.h"

#include "controls/StyledProgressBar.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

TContor::TContor(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Bar(new TStyledProgressBar(this)), Descr(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Kestrun"));
    setModal(false);
    Descr->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Descr);
    layout->addWidget(Bar);
    setMinimumWidth(380);
}

TContor::~TContor()
{
    if (m_running)
        Stop();
}

void TContor::Start()
{
    Bar->setPosition(0);
    if (m_running)
        return;
    m_running = true;
    m_form = QApplication::activeWindow();
    if (m_form == this)
        m_form = nullptr;
    if (m_form)
        m_form->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    show();
    raise();
    QApplication::processEvents();
}

void TContor::Pas()
{
    if (Bar->position() < Bar->maximum())
        Bar->setPosition(Bar->position() + 1);
    QApplication::processEvents();
}

void TContor::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    hide();
    QApplication::restoreOverrideCursor();
    if (m_form) {
        m_form->setEnabled(true);
        m_form->activateWindow();
        m_form->setFocus();
    }
    m_form = nullptr;
}

TContor &Contor()
{
    static TContor *instance = new TContor;
    return *instance;
}
