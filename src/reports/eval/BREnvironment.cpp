#include "reports/eval/BREnvironment.h"

#include "reports/eval/BREvaluator.h"
#include "reports/eval/BRFiFo.h"
#include "reports/eval/BRLocaleText.h"
#include "reports/eval/BRMessages.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

TBREvEmbeddedFunction::TBREvEmbeddedFunction(const QString &expression, TBREvEnvironment *owner)
    : m_expression(expression), m_evaluator(std::make_unique<TBREvaluator>())
{
    m_evaluator->setOwnerEnvironment(owner);
}

TBREvEmbeddedFunction::~TBREvEmbeddedFunction() = default;

TBREvResult TBREvEmbeddedFunction::Value()
{
    if (m_busy)
        return TBREvResult::error(QString::fromLatin1(BRText::Recursive));
    if (!m_evaluator->Prepared())
        return TBREvResult::error(QString::fromLatin1(BRText::NotPrepared));
    m_busy = true;
    TBREvResult r = m_evaluator->Value();
    m_busy = false;
    return r;
}

void TBREvEmbeddedFunction::Reset()
{
    m_evaluator->Reset();
}

TBREvResult TBREvElementWrapper::Evaluate(TBRFiFo &)
{
    if (auto target = m_target.lock())
        return target->Value();
    return TBREvResult::error(BRText::UnknownFunction, m_name);
}

TBREvEnvironment::~TBREvEnvironment()
{
    Clear();
}

int TBREvEnvironment::IndexOf(const QString &name) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TBREvEnvironment::prepareEntry(Entry &entry)
{
    TBREvaluator &ev = entry.function->Evaluator();
    ev.SetDataSets(m_dataSets);
    ev.SetEnvironment(this);
    ev.Prepare(entry.function->Expression());
}

void TBREvEnvironment::AddFunction(const QString &name, const QString &expression)
{
    const QString upper = name.toUpper();
    if (IndexOf(upper) >= 0)
        return;
    m_entries.push_back({upper, std::make_shared<TBREvEmbeddedFunction>(expression, this)});
    if (IsPrepared())
        prepareEntry(m_entries.back());
}

void TBREvEnvironment::DeleteFunction(const QString &name)
{
    const int i = IndexOf(name);
    if (i >= 0)
        m_entries.erase(m_entries.begin() + i);
}

bool TBREvEnvironment::RenameFunction(int index, const QString &name)
{
    const QString upper = name.toUpper();
    const int holder = IndexOf(upper);
    if (index < 0 || index >= Count() || upper.isEmpty() || (holder >= 0 && holder != index))
        return false;
    m_entries[size_t(index)].name = upper;
    return true;
}

bool TBREvEnvironment::ReplaceExpression(int index, const QString &expression)
{
    if (index < 0 || index >= Count() || IsPrepared())
        return false;
    m_entries[size_t(index)].function = std::make_shared<TBREvEmbeddedFunction>(expression, this);
    return true;
}

void TBREvEnvironment::Clear()
{
    m_entries.clear();
}

std::unique_ptr<TBREvElement> TBREvEnvironment::GetElement(const QString &name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        return std::make_unique<TBREvElementError>(QString::fromLatin1(BRText::UnknownFunction).arg(name));
    return std::make_unique<TBREvElementWrapper>(m_entries[size_t(i)].function, m_entries[size_t(i)].name);
}

TBREvResult TBREvEnvironment::Value(const QString &name)
{
    const int i = IndexOf(name);
    if (i < 0)
        return TBREvResult::error();
    return m_entries[size_t(i)].function->Value();
}

void TBREvEnvironment::Prepare()
{
    if (++m_prepareCount != 1)
        return;
    for (Entry &e : m_entries)
        prepareEntry(e);
}

void TBREvEnvironment::Unprepare()
{
    if (m_prepareCount == 0)
        return;
    if (--m_prepareCount != 0)
        return;
    for (Entry &e : m_entries)
        e.function->Evaluator().Unprepare();
}

TBREvElement *TBREvEnvironment::GetConstant(const QString &name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        return nullptr;
    TBRFiFo *fifo = m_entries[size_t(i)].function->Evaluator().FiFo();
    if (!fifo || fifo->Elements().empty())
        return nullptr;
    return fifo->Elements().front().get();
}

void TBREvEnvironment::SetStringConstant(TBREvElement *element, const QString &text)
{
    if (auto *s = dynamic_cast<TBREvElementString *>(element))
        s->Text = capText(text);
}

void TBREvEnvironment::SetIntegerConstant(TBREvElement *element, qint32 value)
{
    if (auto *c = dynamic_cast<TBREvElementConstant *>(element))
        c->Value = TBREvResult::integer(value);
}

void TBREvEnvironment::SetConstantValue(TBREvElement *element, const TBREvResult &value)
{
    if (auto *c = dynamic_cast<TBREvElementConstant *>(element))
        c->Value = value;
    else if (value.kind == TBREvKind::String)
        SetStringConstant(element, value.stringValue);
}

QStringList TBREvEnvironment::Names() const
{
    QStringList out;
    for (const Entry &e : m_entries)
        out << e.name;
    return out;
}

QStringList TBREvEnvironment::Data() const
{
    QStringList out;
    for (const Entry &e : m_entries)
        out << e.function->Expression();
    return out;
}

void TBREvEnvironment::Load(const QStringList &names, const QStringList &data)
{
    Clear();
    for (qsizetype i = 0; i < names.size(); ++i)
        AddFunction(names[i], i < data.size() ? data[i] : QString());
}

TBREvEnvironment &GlobalEnvironment()
{
    static TBREvEnvironment *env = [] {
        auto *e = new TBREvEnvironment;
        const QString appName = QCoreApplication::applicationName().isEmpty()
            ? QStringLiteral("Kestrun") : QCoreApplication::applicationName();
        auto quoted = [](const QString &s) { return QLatin1Char('\'') + s + QLatin1Char('\''); };
        e->AddFunction(QStringLiteral("AppStartTime"), quoted(BRLocaleText::LongTime(QTime::currentTime())));
        e->AddFunction(QStringLiteral("AppStartDate"), quoted(BRLocaleText::ShortDate(QDate::currentDate())));
        e->AddFunction(QStringLiteral("AppName"), quoted(appName));
        return e;
    }();
    return *env;
}
