#include "xls/workbook/FormulaClasses.h"

#include "xls/formula/ArrayRecord.h"
#include "xls/formula/FormulaRecord.h"
#include "xls/formula/NameRecord.h"
#include "xls/formula/ShrFmlaRecord.h"
#include "xls/formula/TableRecord.h"
#include "xls/records/RecordFactory.h"

void RegisterFormulaClasses()
{
    static const bool registered = [] {
        RegisterRecordClass(TFormulaRecord::Id, ConstructRecord<TFormulaRecord>);
        RegisterRecordClass(TShrFmlaRecord::Id, ConstructRecord<TShrFmlaRecord>);
        RegisterRecordClass(TArrayRecord::Id, ConstructRecord<TArrayRecord>);
        RegisterRecordClass(TTableRecord::Id, ConstructRecord<TTableRecord>);
        RegisterRecordClass(TNameRecord::Id, ConstructRecord<TNameRecord>);
        return true;
    }();
    Q_UNUSED(registered);
}
