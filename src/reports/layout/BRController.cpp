#include "reports/layout/BRController.h"

#include "platform/sql/TQuery.h"
#include "reports/eval/BREvaluator.h"
#include "reports/layout/BRLayout.h"
#include "reports/model/BRReport.h"

struct TBRController::GroupState
{
    TBRGroup *group = nullptr;
    std::unique_ptr<TBREvaluator> evaluator;
    TBREvResult value;
    bool hasValue = false, broke = false, headerPrinted = false;
    int headerPage = 1;

    void store()
    {
        value = evaluator->Value();
        hasValue = broke = true;
    }
};

namespace {

bool sameValue(const TBREvResult &a, const TBREvResult &b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case TBREvKind::Integer:
        return a.intValue == b.intValue;
    case TBREvKind::Float:
        return a.floatValue == b.floatValue;
    case TBREvKind::Boolean:
        return a.boolValue == b.boolValue;
    default:
        return a.stringValue == b.stringValue;
    }
}

// The parameter type a variable's value goes into (Null: none).
SqlType paramType(TBREvKind kind)
{
    switch (kind) {
    case TBREvKind::String: return SqlType::Text;
    case TBREvKind::Integer: return SqlType::Integer;
    case TBREvKind::Float: return SqlType::Float;
    case TBREvKind::Boolean: return SqlType::Logical;
    case TBREvKind::Error: break;
    }
    return SqlType::Null;
}

// A report variable's value into a parameter of the matching type (a date
// parameter reads a text as a date); a parameter without a type takes the
// variable's. Any other pairing leaves it alone.
void takeValue(TParam &p, const TBREvResult &v)
{
    const SqlType t = paramType(v.kind);
    if (t == SqlType::Null)
        return;
    if (p.DataType == SqlType::Date && t == SqlType::Text) {
        const QDate d = QDate::fromString(v.stringValue.trimmed(), QStringLiteral("dd.MM.yyyy"));
        if (d.isValid())
            p.SetAsDate(d);
    } else if (p.DataType == SqlType::Null || p.DataType == t) {
        p.DataType = t;
        p.Value = t == SqlType::Text ? QVariant(v.stringValue)
                  : t == SqlType::Integer ? QVariant(v.intValue)
                  : t == SqlType::Float ? QVariant(v.floatValue)
                                        : QVariant(v.boolValue);
    }
}

} // namespace

TBRController::TBRController(TBRLayout &layout, Level level) : m_layout(layout), m_level(std::move(level))
{
}

TBRController::~TBRController() = default;

void TBRController::Prepare()
{
    m_groups.clear();
    if (m_level.Groups)
        for (TBRGroup &g : *m_level.Groups) {
            GroupState s;
            s.group = &g;
            s.evaluator = m_layout.MakeEvaluator(g.Expression);
            m_groups.push_back(std::move(s));
        }
    for (auto &c : Before)
        c->Prepare();
    for (auto &c : After)
        c->Prepare();
    m_queryParams = false;
    if (auto *q = dynamic_cast<TQuery *>(m_level.DataSet))
        for (const QString &name : q->ParamNames())
            m_queryParams = m_queryParams || m_layout.IsVariable(name);
}

void TBRController::takeParameters()
{
    auto *q = static_cast<TQuery *>(m_level.DataSet);
    q->Close();
    for (const QString &name : q->ParamNames())
        if (m_layout.IsVariable(name))
            takeValue(q->ParamByName(name), m_layout.VariableValue(name));
    q->Open();
}

void TBRController::Unprepare()
{
    for (GroupState &g : m_groups)
        g.evaluator->Unprepare();
    m_groups.clear();
    for (auto &c : Before)
        c->Unprepare();
    for (auto &c : After)
        c->Unprepare();
}

void TBRController::NotifyClients()
{
    for (TBREvaluator *e : Notify)
        e->UpdateAggregates();
}

void TBRController::printEmpty()
{
    m_layout.PrintBand(m_level.Header);
    runControllers(Before);
    // The placeholder of an empty set is no record: no aggregate counts it.
    m_layout.PrintBand(m_level.Detail);
    runControllers(After);
    m_layout.PrintBand(m_level.Footer);
}

void TBRController::runControllers(const std::vector<std::unique_ptr<TBRController>> &list)
{
    for (auto &c : list)
        c->Execute();
}

bool TBRController::checkGroups()
{
    for (size_t i = 0; i < m_groups.size(); ++i) {
        GroupState &g = m_groups[i];
        if (!g.hasValue) {
            g.store();
        } else {
            const TBREvResult v = g.evaluator->Value();
            g.broke = !sameValue(v, g.value);
            if (g.broke)
                g.value = v;
        }
        if (g.broke) {
            for (size_t j = i + 1; j < m_groups.size(); ++j)
                m_groups[j].store();
            return true;
        }
    }
    return false;
}

void TBRController::printGroupHeaders()
{
    for (GroupState &g : m_groups)
        if (g.broke) {
            m_layout.PrintBand(&g.group->Header);
            g.headerPrinted = true;
            g.headerPage = m_layout.PageNumber();
        }
}

void TBRController::printGroupFooters(bool whereBroken)
{
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it)
        if (it->broke == whereBroken) {
            m_layout.PrintBand(it->group->FooterBand.get());
            it->headerPrinted = false;
        }
}

bool TBRController::fromDataSet() const
{
    return m_level.DataSet && (m_level.DataSet->Active() || !m_level.OnNeedData);
}

void TBRController::advance(bool &more)
{
    if (!fromDataSet()) {
        more = false;
        m_level.OnNeedData(more);
        return;
    }
    m_level.DataSet->Next();
    more = !m_level.DataSet->Eof();
}

void TBRController::Execute()
{
    for (GroupState &g : m_groups)
        g.hasValue = false;
    TDataSet *ds = m_level.DataSet;
    if (m_level.BeforeOpen)
        m_level.BeforeOpen();
    if ((!ds || !ds->Active()) && !m_level.OnNeedData) {
        if (m_level.PrintIfEmpty)
            printEmpty();
        return;
    }
    bool more = true;
    const bool data = fromDataSet();
    if (data) {
        if (m_queryParams)
            takeParameters();
        ds->First();
        more = !ds->Eof();
        if (m_level.TopLevel)
            m_layout.SetRecordCount(ds->RecordCount());
        if (!more && m_level.PrintIfEmpty)
            printEmpty();
    } else {
        m_level.OnNeedData(more);
    }
    m_detailNumber = 0;
    if (!more || m_layout.Cancelled())
        return;
    m_layout.PrintBand(m_level.Header);
    if (m_level.TopLevel)
        m_layout.PrintColumnHeader();
    checkGroups();
    while (more) {
        if (m_layout.Cancelled() || m_layout.PastFirstPage())
            return;
        ++m_detailNumber;
        printGroupHeaders();
        runControllers(Before);
        m_layout.PrintBand(m_level.Detail, this);
        runControllers(After);
        advance(more);
        if (more && checkGroups()) {
            // The footers read the record they close.
            if (data)
                ds->Prior();
            printGroupFooters(true);
            if (data)
                ds->Next();
        }
        if (m_level.TopLevel)
            m_layout.SetProgress(m_detailNumber);
    }
    // Stand on the last record for the closing footers and the summary.
    if (data) {
        ds->Last();
        checkGroups();
    } else {
        for (GroupState &g : m_groups)
            g.broke = false;
    }
    for (GroupState &g : m_groups)
        g.broke = !g.broke;
    printGroupFooters(true);
    if (m_level.Footer && m_level.TopLevel)
        m_layout.MakeRoomFor(m_level.Footer);
    m_layout.PrintBand(m_level.Footer);
}

void TBRController::ReprintHeaders()
{
    for (const GroupState &g : m_groups)
        if (g.broke)
            return;
    for (auto &c : Before)
        c->ReprintHeaders();
    bool reprint = false;
    for (GroupState &g : m_groups) {
        if (!reprint && g.group->ReprintOnNewPage && g.headerPrinted && g.headerPage != m_layout.PageNumber())
            reprint = true;
        if (reprint) {
            g.broke = true;
            g.headerPage = m_layout.PageNumber();
        }
    }
    if (reprint)
        for (GroupState &g : m_groups)
            if (g.broke) {
                m_layout.PrintBand(&g.group->Header);
                g.headerPrinted = true;
            }
    for (auto &c : After)
        c->ReprintHeaders();
}
