#include "platform/sql/TDataSet.h"

#include "platform/sql/SqlError.h"
#include "platform/sql/VariantCell.h"

TDataSet::TDataSet() = default;
TDataSet::~TDataSet() = default;

namespace {

TFieldType fieldType(SqlType t)
{
    switch (t) {
    case SqlType::Integer: return TFieldType::ftInteger;
    case SqlType::Float: return TFieldType::ftFloat;
    case SqlType::Date: return TFieldType::ftDate;
    case SqlType::Logical: return TFieldType::ftBoolean;
    case SqlType::Text: return TFieldType::ftString;
    default: return TFieldType::ftUnknown;
    }
}

} // namespace

void TDataSet::Open()
{
    if (Active())
        return;
    std::vector<Row> rows;
    QList<SqlResultColumn> columns;
    openData(columns, rows);
    m_columns = columns;
    m_rows = std::move(rows);
    m_fromRecords = !m_rows.empty() && m_rows.front().values.isEmpty();
    buildFields();
    setState(State::Browse);
    try {
        refreshFilter();
    } catch (...) {
        Close();
        throw;
    }
}

void TDataSet::Close()
{
    if (!Active())
        return;
    closeData();
    setState(State::Inactive);
    m_rows.clear();
    m_view.clear();
    m_decoded.clear();
    m_decodedRow = -1;
    m_record.clear();
    m_recordRow = -1;
    m_compiled.reset();
    clearFields();
    m_pos = 0;
    m_bof = m_eof = true;
}

void TDataSet::buildFields()
{
    clearFields();
    for (int i = 0; i < m_columns.size(); ++i) {
        const SqlResultColumn &c = m_columns[i];
        m_fields.push_back(std::make_unique<TField>(this, i, c.name, fieldType(c.type), c.size, c.decimals));
        m_fieldList.append(m_fields.back().get());
    }
}

void TDataSet::clearFields()
{
    m_fieldList.clear();
    m_fields.clear();
}

void TDataSet::refreshFilter()
{
    m_compiled.reset();
    if (m_filtered && !m_filter.trimmed().isEmpty() && Active())
        m_compiled.emplace(m_filter, m_columns);
    forgetCurrent();
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (int i = 0; i < int(m_rows.size()); ++i)
        if (!m_compiled || m_compiled->matches(valuesOf(i)))
            m_view.push_back(i);
    First();
}

void TDataSet::SetFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    const QString old = m_filter;
    m_filter = filter;
    if (Active() && m_filtered) {
        try {
            refreshFilter();
        } catch (...) {
            m_filter = old;
            refreshFilter();
            throw;
        }
    }
}

void TDataSet::SetFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    m_filtered = filtered;
    if (Active()) {
        try {
            refreshFilter();
        } catch (...) {
            m_filtered = !filtered;
            refreshFilter();
            throw;
        }
    }
}

void TDataSet::requireBrowse(const char *what) const
{
    if (m_state == State::Inactive)
        throw SqlError(QStringLiteral("Cannot %1 a closed dataset").arg(QLatin1StringView(what)));
}

void TDataSet::First()
{
    m_pos = 0;
    m_bof = true;
    m_eof = m_view.empty();
}

void TDataSet::Last()
{
    m_pos = m_view.empty() ? 0 : int(m_view.size()) - 1;
    m_eof = true;
    m_bof = m_view.empty();
}

void TDataSet::Next()
{
    if (m_pos + 1 < int(m_view.size())) {
        ++m_pos;
        m_bof = false;
    } else {
        m_eof = true;
    }
}

void TDataSet::Prior()
{
    if (m_pos > 0) {
        --m_pos;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

TField *TDataSet::FindField(const QString &name) const
{
    // Names of different lengths never match, even ignoring case (case is
    // folded a character at a time): the length check spares the folding
    // compare for nearly every field of a row read by name.
    for (TField *f : m_fieldList)
        if (f->FieldName().size() == name.size() && f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

TField *TDataSet::FieldByName(const QString &name) const
{
    TField *f = FindField(name);
    if (!f)
        throw SqlError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

void TDataSet::decodeRecord(qint64, std::vector<DbfValue> &into) const { into.clear(); }

void TDataSet::decodeRecordOf(int row) const
{
    if (m_recordRow == row)
        return;
    m_recordRow = -1; // a decode that fails leaves no row behind
    forgetCurrent();
    decodeRecord(m_rows[size_t(row)].record, m_record);
    m_recordRow = row;
}

const DbfValue *TDataSet::otherRecordValue(int index) const
{
    if (m_state != State::Browse || m_view.empty())
        return nullptr;
    const int row = m_view[size_t(m_pos)];
    if (!m_rows[size_t(row)].values.isEmpty())
        return nullptr;
    decodeRecordOf(row);
    m_current = m_record.data();
    m_currentCount = unsigned(m_record.size());
    m_currentPos = m_pos;
    return unsigned(index) < m_currentCount ? m_current + index : nullptr;
}

namespace {

// A record's value as a dataset's cell, into the cell's own storage where it
// holds the same type already.
void putCell(const DbfValue &v, QVariant &c)
{
    switch (v.kind) {
    case DbfValue::Text: VariantCell::held<QString>(c) = v.text; break;
    case DbfValue::Number: VariantCell::held<double>(c) = v.number; break;
    case DbfValue::Date: VariantCell::held<QDate>(c) = v.date; break;
    case DbfValue::Logical: VariantCell::held<bool>(c) = v.logical; break;
    default: c = QVariant(); break;
    }
}

} // namespace

const QVector<QVariant> &TDataSet::decodedValuesOf(int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (!r.values.isEmpty())
        return r.values;
    if (m_decodedRow != row) {
        m_decodedRow = -1;
        decodeRecordOf(row);
        m_decoded.resize(qsizetype(m_record.size()));
        QVariant *cell = m_decoded.data();
        for (const DbfValue &v : m_record)
            putCell(v, *cell++);
        m_decodedRow = row;
    }
    return m_decoded;
}

TDataSet::Row *TDataSet::currentRow()
{
    if (m_view.empty())
        return nullptr;
    const int i = m_view[size_t(m_pos)];
    Row &r = m_rows[size_t(i)];
    if (r.values.isEmpty()) {
        r.values = valuesOf(i);
        forgetCurrent(); // the row's own values hold from now on
    }
    return &r;
}

// Fields of a row being edited, of no row, or that do not exist.
const QVariant &TDataSet::otherFieldValue(int index) const
{
    static const QVariant none;
    if (m_state == State::Edit || m_state == State::Insert)
        return index >= 0 && index < m_buffer.values.size() ? m_buffer.values[index] : none;
    return none;
}

void TDataSet::setFieldValue(int index, const QVariant &v)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw SqlError(QStringLiteral("Dataset not in edit or insert mode"));
    if (index >= 0 && index < m_buffer.values.size())
        m_buffer.values[index] = v;
}

void TDataSet::addRow(Row row)
{
    forgetCurrent();
    m_rows.push_back(std::move(row));
    const int i = int(m_rows.size()) - 1;
    if (!m_compiled || m_compiled->matches(m_rows.back().values)) {
        m_view.push_back(i);
        m_pos = int(m_view.size()) - 1;
        m_bof = m_eof = false;
    }
}

void TDataSet::removeCurrentRow()
{
    if (m_view.empty())
        return;
    forgetCurrent();
    m_view.erase(m_view.begin() + m_pos);
    if (m_pos >= int(m_view.size()))
        m_pos = qMax(0, int(m_view.size()) - 1);
    m_eof = m_view.empty();
    m_bof = m_view.empty();
}

bool TDataSet::Locate(const QString &fieldName, const QVariant &value)
{
    requireBrowse("search");
    const TField *f = FieldByName(fieldName);
    const QVariant want = f->converted(value);
    for (int p = 0; p < int(m_view.size()); ++p) {
        const QVariant &have = valuesOf(m_view[size_t(p)])[f->Index()];
        bool equal;
        if (!want.isValid() || !have.isValid() || want.isNull() || have.isNull())
            equal = (!want.isValid() || want.isNull()) && (!have.isValid() || have.isNull());
        else if (f->DataType() == TFieldType::ftString)
            equal = have.toString() == want.toString(); // exact: case and accents count
        else if (f->DataType() == TFieldType::ftInteger || f->DataType() == TFieldType::ftFloat)
            equal = have.toDouble() == want.toDouble();
        else
            equal = have == want;
        if (equal) {
            m_pos = p;
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}
