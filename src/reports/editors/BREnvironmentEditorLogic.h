#pragma once

#include <QString>

class TBREvEnvironment;

// What the variable editor decides, kept apart from its grid: which
// environment it shows (the local one or the global one), and the renames,
// expression changes, additions and deletions of its entries.
class TBREnvironmentEditorLogic
{
public:
    // Without a local environment only the global one can be shown; when the
    // global one is not allowed only the local one can.
    TBREnvironmentEditorLogic(TBREvEnvironment *local, bool globalAllowed);

    bool LocalEnabled() const { return m_local != nullptr; }
    bool GlobalEnabled() const { return m_globalAllowed || !m_local; }
    bool ShowsLocal() const { return m_showLocal; }
    // Ignored when that choice is disabled.
    void ShowLocal(bool local);
    TBREvEnvironment &Current() const;

    int Count() const;
    QString Name(int row) const;
    QString Expression(int row) const;

    // Each returns what the row holds afterwards: the new name in capitals,
    // or the old one when refused (empty, or held by another entry).
    QString Rename(int row, const QString &name);
    // The old expression stays while the environment is prepared.
    QString EditExpression(int row, const QString &expression);
    // False when the name is empty or already there (the old expression stays).
    bool Add(const QString &name, const QString &expression);
    // Refused while the environment is prepared: a running report holds its entries.
    bool Delete(int row);

private:
    TBREvEnvironment *m_local;
    bool m_globalAllowed;
    bool m_showLocal;
};
