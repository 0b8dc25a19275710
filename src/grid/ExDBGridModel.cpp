#include "grid/ExDBGridModel.h"

#include "platform/sql/TDataSet.h"
#include "platform/sql/TField.h"
#include "platform/sql/TTable.h"

#include <QFont>
#include <QLocale>

TExDBGridModel::TExDBGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TExDBGridModel::setDataSet(TDataSet *dataSet)
{
    m_dataSet = dataSet;
    reload();
}

void TExDBGridModel::setColumns(const QList<TExDBColumn> &columns)
{
    m_set = columns;
    reload();
}

QList<TExDBColumn> TExDBGridModel::effectiveColumns() const
{
    if (!m_set.isEmpty() || !m_dataSet || !m_dataSet->Active())
        return m_set;
    QList<TExDBColumn> all;
    for (const TField *f : m_dataSet->Fields())
        all.append({f->FieldName(), {}, 0, {}, false, true});
    return all;
}

TExDBGridModel::Shown TExDBGridModel::shownValue(int fieldIndex) const
{
    const TField *f = m_dataSet->Fields().at(fieldIndex);
    const bool number = f->DataType() == TFieldType::ftFloat || f->DataType() == TFieldType::ftInteger;
    if (f->IsNull())
        return {QString(), number};
    if (number && f->Decimals() > 0)
        return {QLocale::c().toString(f->AsFloat(), 'f', f->Decimals()), true};
    return {f->AsString(), number};
}

void TExDBGridModel::readCurrentRow(int row)
{
    QList<Shown> shown;
    for (int fi : std::as_const(m_fieldIndex))
        shown.append(fi < 0 ? Shown{} : shownValue(fi));
    m_rows[row] = shown;
}

void TExDBGridModel::reload()
{
    beginResetModel();
    m_columns = effectiveColumns();
    m_fieldIndex.clear();
    m_rows.clear();
    m_current = -1;
    if (m_dataSet && m_dataSet->Active()) {
        for (const TExDBColumn &c : std::as_const(m_columns)) {
            const TField *f = m_dataSet->FindField(c.fieldName);
            m_fieldIndex.append(f ? f->Index() : -1);
        }
        const int count = m_dataSet->RecordCount();
        m_rows.resize(count);
        m_dataSet->First();
        for (int row = 0; row < count && !m_dataSet->Eof(); ++row) {
            readCurrentRow(row);
            m_dataSet->Next();
        }
        if (count > 0) {
            m_dataSet->First();
            m_current = 0;
        }
    }
    endResetModel();
}

bool TExDBGridModel::moveDataSetTo(int row)
{
    if (!m_dataSet || !m_dataSet->Active() || row < 0 || row >= m_rows.size())
        return false;
    // Step from where the dataset stands, so following the cursor row by row
    // costs a step, not a walk from the first row.
    int at = m_dataSet->RecNo() - 1;
    if (at != row && (row == 0 || at < 0)) {
        m_dataSet->First();
        at = 0;
    }
    for (; at < row; ++at)
        m_dataSet->Next();
    for (; at > row; --at)
        m_dataSet->Prior();
    m_current = row;
    return true;
}

int TExDBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TExDBGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TExDBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return {};
    const TExDBColumn &c = m_columns.at(index.column());
    const Shown &v = m_rows.at(index.row()).at(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return v.text;
    case Qt::TextAlignmentRole: {
        const Qt::Alignment h = c.alignment ? c.alignment : (v.number ? Qt::AlignRight : Qt::AlignLeft);
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    case Qt::FontRole:
        if (c.bold) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
}

QVariant TExDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns.size())
            return {};
        const TExDBColumn &c = m_columns.at(section);
        if (role == Qt::DisplayRole)
            return c.title.isEmpty() ? c.fieldName : c.title;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
        return {};
    }
    // The row indicator of a classic grid: a marker on the current row.
    if (role == Qt::DisplayRole)
        return section == m_current ? QStringLiteral("\u25B6") : QString();
    return {};
}

Qt::ItemFlags TExDBGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() < m_columns.size() && !m_columns.at(index.column()).readOnly
        && dynamic_cast<TTable *>(m_dataSet) && m_fieldIndex.value(index.column(), -1) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TExDBGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    auto *table = dynamic_cast<TTable *>(m_dataSet);
    const int row = index.row();
    if (!moveDataSetTo(row))
        return false;
    try {
        table->Edit();
        TField *field = table->Fields().at(m_fieldIndex.at(index.column()));
        const QString text = value.toString();
        field->SetValue(text.trimmed().isEmpty() ? QVariant() : QVariant(text));
        table->Post();
    } catch (const std::exception &e) {
        try {
            table->Cancel();
        } catch (...) {
        }
        emit editFailed(QString::fromUtf8(e.what()));
        return false;
    }
    readCurrentRow(row);
    emit dataChanged(this->index(row, 0), this->index(row, int(m_columns.size()) - 1));
    return true;
}
