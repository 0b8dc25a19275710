#pragma once

#include <QDialog>

#include <memory>

class TExDBGrid;
class TQuery;

// "Istoric modificari date": the action log, newest action selected.
class TLogView : public QDialog
{
    Q_OBJECT
public:
    explicit TLogView(QWidget *parent = nullptr);
    ~TLogView() override;

    TQuery *Lx;
    TExDBGrid *Grid;

    void Arata();
    // Arata's step before the modal run: the log read and its last row selected.
    void Prepare();

private:
    std::unique_ptr<TQuery> m_lx;
};

TLogView &LogView();
