#pragma once

#include "platform/db/Dbf.h"
#include "platform/sql/TDataSet.h"

#include <optional>
#include <vector>

// A dataset over one table file, opened by its path, row edits written to the
// file on Post.
class TTable : public TDataSet
{
public:
    ~TTable() override;

    QString TableName() const { return m_tableName; }
    // Only while closed.
    void SetTableName(const QString &path);

    // New row after the last; fields start null. Post writes it.
    void Append();
    void Edit();
    void Post();
    void Cancel();
    // Marks the current row deleted in the file.
    void Delete();

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override;
    void closeData() override;
    void decodeRecord(qint64 record, std::vector<DbfValue> &into) const override;

private:
    void finishPending();
    void written();
    Dbf &writer(); // the table opened for writing, at the first change

    QString m_tableName;
    std::optional<Dbf> m_read; // mapped: the records rows are read from
    std::optional<Dbf> m_dbf;  // open for writing once a row has changed
};
