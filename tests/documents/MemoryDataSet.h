#pragma once

#include "platform/sql/TDataSet.h"

#include <utility>

// A dataset over rows given by the test, with the column types the local SQL
// gives its results (Text, Integer, Float, Date).
class MemoryDataSet : public TDataSet
{
public:
    struct Column
    {
        QString name;
        SqlType type;
    };

    MemoryDataSet(QList<Column> columns, QList<QVariantList> rows)
        : m_columns(std::move(columns)), m_rows(std::move(rows))
    {
    }
    ~MemoryDataSet() override { Close(); }

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        for (const Column &c : m_columns)
            columns.append({c.name, c.type, 10, c.type == SqlType::Float ? 2 : 0});
        for (const QVariantList &values : m_rows) {
            Row row;
            row.values = QVector<QVariant>(values.begin(), values.end());
            rows.push_back(std::move(row));
        }
    }

private:
    QList<Column> m_columns;
    QList<QVariantList> m_rows;
};
