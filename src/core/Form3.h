#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>

class CommandBar;
class QAction;
class QComboBox;
class QLabel;
class QToolButton;
class TCNPEdit;
class TQuery;
class TTable;

// The main window: the working month, the entry table of commands and the
// status bar. Commands of the other areas are added to its menus as they get
// built; a button shows only once it has something to run.
class TForm3 : public QMainWindow
{
    Q_OBJECT
public:
    enum class Menu { Liste, Furnizori, Utilitare };

    explicit TForm3(QWidget *parent = nullptr);
    ~TForm3() override;

    QLabel *LunaLucru;       // the working month "MM.YYYY", empty when none is chosen
    QComboBox *LuniC;        // the months of Luni.lst, newest first; a new month may be typed
    TCNPEdit *CNP1;          // hidden, derives birth dates from codes put into it
    // The report commands' shared queries and table; each command leaves them
    // closed, unfiltered and with an empty filter.
    TQuery *Sx;
    TQuery *Sy;
    TTable *Tx;
    // Closes Sx, Sy and Tx and clears their filters and Tx's table name.
    void resetShared();

    static QString menuCaption(Menu menu);

    // Adds a command to a drop-down menu; it runs inside the command guard.
    QAction *addCommand(Menu menu, const QString &caption, const std::function<void()> &handler);
    // Adds a command to a submenu of a drop-down menu.
    QAction *addCommand(Menu menu, const QString &submenu, const QString &caption, const std::function<void()> &handler);
    // The request list command behind "Cereri"; it runs after the report pre-check.
    void setCereriCommand(const std::function<void()> &handler);
    // Shows or hides a menu entry by caption, now or when it is added later.
    void setCommandVisible(const QString &caption, bool visible);
    QAction *command(const QString &caption) const;

    // Runs a command inside the guard (progress stopped, form enabled,
    // shared queries reset and the error shown on failure).
    bool runGuarded(const std::function<void()> &command);
    // Runs the report when the settings pre-check passes, else opens the administration.
    void runReport(const std::function<void()> &report);
    // More to clear after a failed command, besides the shared queries.
    void setResetHook(const std::function<void()> &reset) { m_reset = reset; }

    // The working month from the list or typed; false (and a balloon) when it is no month.
    bool setWorkingMonth(const QString &text);
    // Reloads the month list from Luni.lst of the data folder.
    void loadMonths();
    // "Lucru local.", "Lucru in retea: <folder>" or "Lucru in salvarea: <archive>".
    void showWhereDataLives(const QString &text);
    QString statusText() const;

    void CereriClick();
    void AdministrareClick();

    QToolButton *button(Menu menu) const;
    QToolButton *cereriButton() const;
    CommandBar *commandBar() const { return m_bar; }

private:
    void monthChosen();
    void appendMonthToList(const QString &month);

    std::unique_ptr<TQuery> m_sx;
    std::unique_ptr<TQuery> m_sy;
    std::unique_ptr<TTable> m_tx;
    CommandBar *m_bar = nullptr;
    QLabel *m_status = nullptr;
    std::function<void()> m_cereriCommand;
    std::function<void()> m_reset;
};

// The one main window.
TForm3 &Form3();
