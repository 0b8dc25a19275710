#pragma once

#include "reports/editors/BREnvironmentEditorLogic.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class TBRDataSet;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

// The variables of a report's environment or of the global one, in a grid of
// names and expressions that can be edited in place or through the
// expression builder, with a page for a new entry.
class TBREnvironmentEditor : public QDialog
{
    Q_OBJECT
public:
    // The datasets are offered by the builder of an expression.
    TBREnvironmentEditor(TBREvEnvironment *local, bool globalAllowed, const QList<TBRDataSet *> &dataSets = {},
                         QWidget *parent = nullptr);
    // Runs until "Închide" or the window is closed.
    static void Execute(TBREvEnvironment *local, bool globalAllowed, const QList<TBRDataSet *> &dataSets = {},
                        QWidget *parent = nullptr);

    // Builds an expression (heading, text in and out); true on OK. The
    // expression builder by default; a test puts its own here.
    std::function<bool(const QString &, QString &)> BuildExpression;
    // Tells why something was refused; a test puts its own here.
    std::function<void(const QString &)> ShowMessage;

    QStackedWidget *Pages;
    QTableWidget *Grid;
    QRadioButton *LocalChoice, *GlobalChoice;
    QPushButton *AddButton, *EditButton, *DeleteButton, *CloseButton;
    QGroupBox *NewEntry;
    QLineEdit *NewName, *NewExpression;
    QToolButton *NewExpressionBuilder;
    QPushButton *NewOk, *NewCancel;

private:
    QWidget *buildGridPage();
    QWidget *buildNewEntryPage();
    void refill();
    void cellChanged(QTableWidgetItem *item);
    void editRow();
    void addEntry();
    void deleteRow();
    void setCell(int row, int column, const QString &text);
    // Why a name (in capitals) was refused: empty, or held by another variable.
    static QString nameRefused(const QString &name);

    TBREnvironmentEditorLogic m_logic;
};
