#pragma once

#include "platform/db/Dbf.h"
#include "platform/sql/FilterExpression.h"
#include "platform/sql/SqlTranslator.h"
#include "platform/sql/TField.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <optional>
#include <vector>

// Rows held in memory with a current row, navigation, a filter and lookups.
// TQuery fills it from SQL, TTable from a table file.
class TDataSet
{
public:
    enum class State { Inactive, Browse, Edit, Insert };

    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet &) = delete;
    TDataSet &operator=(const TDataSet &) = delete;

    void Open();
    void Close();
    bool Active() const { return m_state != State::Inactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    State DataSetState() const { return m_state; }

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const { return m_view.empty(); }
    // Rows seen through the filter.
    int RecordCount() const { return int(m_view.size()); }
    // 1-based position among them; 0 when there is none.
    int RecNo() const { return m_view.empty() ? 0 : m_pos + 1; }

    // Raises SqlError when the field does not exist.
    TField *FieldByName(const QString &name) const;
    TField *FindField(const QString &name) const;
    const QList<TField *> &Fields() const { return m_fieldList; }
    int FieldCount() const { return int(m_fieldList.size()); }

    // Moves to the first row (through the filter) whose field holds exactly the
    // value, text compared case-sensitively; false, and no move, when none does.
    bool Locate(const QString &fieldName, const QVariant &value);

    QString Filter() const { return m_filter; }
    // Changing the filter of an open, filtered dataset filters it again.
    void SetFilter(const QString &filter);
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool filtered);

    // Used by TField: the current row's cell (or the edit buffer's), valid
    // until the dataset moves or changes.
    const QVariant &fieldValue(int index) const
    {
        if (m_state == State::Browse && !m_view.empty()) [[likely]] {
            const QVector<QVariant> &values = valuesOf(m_view[size_t(m_pos)]);
            if (index >= 0 && index < values.size()) [[likely]]
                return values[index];
        }
        return otherFieldValue(index);
    }
    void setFieldValue(int index, const QVariant &v);
    // Used by TField too: the current row's value as decoded from its table
    // record, valid until the dataset moves or changes; null when the row
    // holds values of its own (a query's rows, a row edited or appended), or
    // there is no row. A scan reads a table through these without a QVariant.
    const DbfValue *recordValue(int index) const
    {
        if (m_currentPos == m_pos && unsigned(index) < m_currentCount) [[likely]]
            return m_current + index;
        return m_fromRecords ? otherRecordValue(index) : nullptr;
    }

protected:
    struct Row
    {
        QVector<QVariant> values; // empty: decoded from the record when read
        qint64 record = -1;       // the table's record behind the row
    };

    // Fill columns and rows.
    virtual void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) = 0;
    virtual void closeData() {}
    // The values of a row that was filled without them, from its record, into
    // values kept between rows (their buffers are reused).
    virtual void decodeRecord(qint64 record, std::vector<DbfValue> &into) const;

    void requireBrowse(const char *what) const;
    void setState(State s)
    {
        m_state = s;
        forgetCurrent();
    }
    // With its values, decoded when it had none.
    Row *currentRow();
    Row &editBuffer() { return m_buffer; }
    void addRow(Row row);      // appended and made current
    void removeCurrentRow();
    void refreshFilter();
    const QList<SqlResultColumn> &columns() const { return m_columns; }

private:
    void buildFields();
    void clearFields();
    // A row's values: its own, or those decoded from its record.
    const QVector<QVariant> &valuesOf(int row) const
    {
        const Row &r = m_rows[size_t(row)];
        if (!r.values.isEmpty() || m_decodedRow != row) [[unlikely]]
            return decodedValuesOf(row);
        return m_decoded;
    }
    const QVector<QVariant> &decodedValuesOf(int row) const;
    const QVariant &otherFieldValue(int index) const;
    const DbfValue *otherRecordValue(int index) const;
    void forgetCurrent() const { m_currentPos = -1; }
    // The row's record decoded into m_record, unless it is there already.
    void decodeRecordOf(int row) const;

    State m_state = State::Inactive;
    QList<SqlResultColumn> m_columns;
    std::vector<Row> m_rows;
    std::vector<int> m_view; // rows passing the filter, in order
    int m_pos = 0;
    bool m_bof = true;
    bool m_eof = true;
    QList<TField *> m_fieldList;
    std::vector<std::unique_ptr<TField>> m_fields;
    QString m_filter;
    bool m_filtered = false;
    std::optional<FilterExpression> m_compiled;
    Row m_buffer; // the row being edited or appended
    // The last row decoded from its record, so that reading its fields one
    // after the other decodes it once; and the same row's values as QVariants,
    // made from them when asked for.
    bool m_fromRecords = false; // rows filled without values, read from their records
    mutable std::vector<DbfValue> m_record;
    mutable int m_recordRow = -1;
    // m_record as the current row's values, while the position is m_currentPos
    // (-1: not known), in browsing, and the row holds no values of its own.
    mutable const DbfValue *m_current = nullptr;
    mutable unsigned m_currentCount = 0;
    mutable int m_currentPos = -1;
    mutable QVector<QVariant> m_decoded;
    mutable int m_decodedRow = -1;
};
