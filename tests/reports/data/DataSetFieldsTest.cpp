#include "platform/sql/TDataSet.h"
#include "reports/data/BRDataSetFields.h"
#include "reports/eval/BREvaluator.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

// Two requests in memory, with one column of every type.
class Requests : public TDataSet
{
protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        columns = {{"TITULAR", SqlType::Text, 32, 0}, {"NR_MEMBRI", SqlType::Integer, 2, 0},
                   {"VENITM", SqlType::Float, 10, 2}, {"DATACERE", SqlType::Date, 8, 0},
                   {"ASF", SqlType::Logical, 1, 0}, {"NRCRT", SqlType::Integer, 12, 0}};
        rows.push_back({{QStringLiteral("Pop Ana"), 3.0, 412.5, QDate(2026, 11, 3), true, 12.0}, 0});
        rows.push_back({{QVariant(), QVariant(), QVariant(), QVariant(), false, 5000000000.0}, 1});
    }
};

QString value(TBREvaluator &ev)
{
    return ValueToString(ev.Value());
}

} // namespace

TEST(TBRDataSetFields, FieldsAsExpressionValues)
{
    Requests ds;
    ds.Open();
    TBRDataSetFields fields(&ds, QStringLiteral("Cereri"));
    TBREvaluator ev;
    ev.SetDataSets({&fields});
    ev.Prepare(QStringLiteral("TITULAR + '|' + TYPEOF(NR_MEMBRI) + STR(NR_MEMBRI * 2) + '|' + TYPEOF(Cereri.VenitM) + "
                              "'|' + DATACERE + '|' + STR(ASF) + '|' + TYPEOF(NRCRT)"));
    EXPECT_EQ(value(ev), "Pop Ana|INTEGER6|FLOAT|03.11.2026|True|INTEGER");
    ds.Next();
    EXPECT_EQ(value(ev), "|INTEGER0|FLOAT||False|FLOAT") << "nulls read as empty and 0; a number beyond 32 bits is a float";
}
