#pragma once

#include <QAbstractTableModel>
#include <QList>

#include <functional>

class TDataSet;

// One column of the grid as the form sets it.
struct TExDBColumn
{
    QString fieldName;
    QString title;               // the field name when empty
    int width = 0;               // pixels; 0 sizes to the title
    Qt::Alignment alignment = {}; // by the field's type when not set: numbers right, else left
    bool bold = false;
    bool readOnly = true;
};

// The rows of a dataset as the grid shows them. The dataset keeps its own
// rows; the model holds the shown texts, read once per reload, and moves the
// dataset's current row to follow the grid.
class TExDBGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TExDBGridModel(QObject *parent = nullptr);

    void setDataSet(TDataSet *dataSet);
    TDataSet *dataSet() const { return m_dataSet; }
    // Empty: every field of the dataset, in its order.
    void setColumns(const QList<TExDBColumn> &columns);
    const QList<TExDBColumn> &columns() const { return m_columns; }

    // Reads the dataset's rows again (after it was opened, filtered or changed).
    void reload();
    // Makes the dataset's current row the grid's row; false when out of range.
    bool moveDataSetTo(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Writes the value through the table under the grid; a refused value
    // leaves the row as it was and is reported through editFailed.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    int currentRow() const { return m_current; }

signals:
    void editFailed(const QString &message);

private:
    struct Shown
    {
        QString text;
        bool number = false;
    };

    QList<TExDBColumn> effectiveColumns() const;
    Shown shownValue(int fieldIndex) const;
    void readCurrentRow(int row);

    TDataSet *m_dataSet = nullptr;
    QList<TExDBColumn> m_set;        // as the form set them
    QList<TExDBColumn> m_columns;    // in use
    QList<int> m_fieldIndex;         // dataset field of each column, -1 when missing
    QList<QList<Shown>> m_rows;
    int m_current = -1;
};
