#pragma once

#include "platform/sql/TDataSet.h"

#include <functional>
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
        : m_columns(std::move(columns)), m_count(int(rows.size())),
          m_rowAt([rows = std::move(rows)](int i) { return rows[i]; })
    {
    }
    // Rows rowAt(0) .. rowAt(count - 1), made when the dataset opens and then
    // held by it alone, as a query holds the rows it read.
    MemoryDataSet(QList<Column> columns, int count, std::function<QVariantList(int)> rowAt)
        : m_columns(std::move(columns)), m_count(count), m_rowAt(std::move(rowAt))
    {
    }
    ~MemoryDataSet() override { Close(); }

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        for (const Column &c : m_columns)
            columns.append({c.name, c.type, 10, c.type == SqlType::Float ? 2 : 0});
        rows.reserve(size_t(m_count));
        for (int i = 0; i < m_count; ++i) {
            const QVariantList values = m_rowAt(i);
            Row row;
            row.values = QVector<QVariant>(values.begin(), values.end());
            rows.push_back(std::move(row));
        }
    }

private:
    QList<Column> m_columns;
    int m_count;
    std::function<QVariantList(int)> m_rowAt;
};
