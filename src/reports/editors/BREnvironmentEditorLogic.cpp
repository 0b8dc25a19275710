#include "reports/editors/BREnvironmentEditorLogic.h"

#include "reports/eval/BREnvironment.h"

TBREnvironmentEditorLogic::TBREnvironmentEditorLogic(TBREvEnvironment *local, bool globalAllowed)
    : m_local(local), m_globalAllowed(globalAllowed), m_showLocal(local != nullptr)
{
}

void TBREnvironmentEditorLogic::ShowLocal(bool local)
{
    if (local ? LocalEnabled() : GlobalEnabled())
        m_showLocal = local;
}

TBREvEnvironment &TBREnvironmentEditorLogic::Current() const
{
    return m_showLocal ? *m_local : GlobalEnvironment();
}

int TBREnvironmentEditorLogic::Count() const
{
    return Current().Count();
}

QString TBREnvironmentEditorLogic::Name(int row) const
{
    return Current().Names().value(row);
}

QString TBREnvironmentEditorLogic::Expression(int row) const
{
    return Current().Data().value(row);
}

QString TBREnvironmentEditorLogic::Rename(int row, const QString &name)
{
    Current().RenameFunction(row, name.trimmed());
    return Name(row);
}

QString TBREnvironmentEditorLogic::EditExpression(int row, const QString &expression)
{
    Current().ReplaceExpression(row, expression);
    return Expression(row);
}

bool TBREnvironmentEditorLogic::Add(const QString &name, const QString &expression)
{
    TBREvEnvironment &env = Current();
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || env.IndexOf(trimmed) >= 0)
        return false;
    env.AddFunction(trimmed, expression);
    return true;
}

bool TBREnvironmentEditorLogic::Delete(int row)
{
    TBREvEnvironment &env = Current();
    if (env.IsPrepared() || row < 0 || row >= env.Count())
        return false;
    env.DeleteFunction(Name(row));
    return true;
}
