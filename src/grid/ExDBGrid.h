#pragma once

#include "grid/ExDBGridModel.h"

#include <QTableView>

// A grid over a dataset with the columns the form sets: title, width,
// alignment, bold, read-only or editable; the look of a classic data grid
// (grid lines, row indicator, whole-row selection).
class TExDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TExDBGrid(QWidget *parent = nullptr);

    void setDataSet(TDataSet *dataSet);
    void setColumns(const QList<TExDBColumn> &columns);
    // Shows the dataset's rows again; call after opening or changing it.
    void refresh();

    TExDBGridModel *gridModel() const { return m_model; }
    int currentRow() const { return m_model->currentRow(); }
    // Selects the row and makes it the dataset's current row.
    void selectRow(int row);

signals:
    // The dataset's current row changed to this grid row.
    void rowChanged(int row);

private:
    void applyWidths();
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

    TExDBGridModel *m_model;
};
