#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class TStyledProgressBar;

// The progress window of long operations. Callers set Bar's maximum and
// Descr's text, then Start, Pas once per step, Stop.
class TContor : public QDialog
{
    Q_OBJECT
public:
    explicit TContor(QWidget *parent = nullptr);
    ~TContor() override;

    TStyledProgressBar *Bar;
    QLabel *Descr;

    // Bar to 0; on first show disables the active form and sets the hourglass.
    void Start();
    // One step while below the maximum, then lets pending events run.
    void Pas();
    // Hides the window and gives the remembered form back its input and focus.
    void Stop();

    bool isRunning() const { return m_running; }

private:
    QPointer<QWidget> m_form;
    bool m_running = false;
};

// The one progress window of the program.
TContor &Contor();
