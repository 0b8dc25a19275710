#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class CommandBar;
class QAction;
class QLabel;
class TExDBGrid;
class TQuery;

// The request list: the working month's requests ordered by applicant, the
// row count, and the commands on them as they get built.
class TCereriF : public QDialog
{
    Q_OBJECT
public:
    enum class Menu { Dispozitii, Formulare, Listari };

    explicit TCereriF(QWidget *parent = nullptr);
    ~TCereriF() override;

    // Every Cereri column of the working month's requests, ordered by TITULAR.
    // Its current row is the request the single-request documents use.
    TQuery *C1;
    // The work query of the document commands; left closed after each.
    TQuery *Sx;
    TExDBGrid *Grid;
    QLabel *NrCereri;

    // Lists the requests of the month ("MM.YYYY") from the data folder's Cereri.
    void ShowMonth(const QString &month);
    // Lists the main window's working month and shows the form modally.
    void Execute();

    QAction *addCommand(Menu menu, const QString &caption, const std::function<void()> &handler);
    QAction *command(const QString &caption) const;
    bool runGuarded(const std::function<void()> &command);
    // For commands that need a menu of their own.
    CommandBar *commandBar() const { return m_bar; }

    static QString menuCaption(Menu menu);

private:
    std::unique_ptr<TQuery> m_c1;
    std::unique_ptr<TQuery> m_sx;
    CommandBar *m_bar;
};

// The one request list.
TCereriF &CereriF();
