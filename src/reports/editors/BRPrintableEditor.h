#pragma once

#include "reports/model/BRUnits.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

class QWidget;
class TBRDataSet;
class TBREvEnvironment;
struct TBRPrintable;

// Where a control stands: the unit of its report, and the datasets and the
// variables its expressions may name.
struct TBRPrintableContext
{
    TBRUnitBase Units;
    QList<TBRDataSet *> DataSets;
    TBREvEnvironment *Environment = nullptr;
};

// The editor a designer attaches to a printable. This base answers its class
// and does nothing else; the text controls' editors fill it in.
class TBRPrintableEditor
{
public:
    TBRPrintableEditor(TBRPrintable &printable, const TBRPrintableContext &context)
        : m_printable(printable), m_context(context) {}
    virtual ~TBRPrintableEditor() = default;
    TBRPrintableEditor(const TBRPrintableEditor &) = delete;
    TBRPrintableEditor &operator=(const TBRPrintableEditor &) = delete;

    virtual QColor Color() const { return QColor(); }
    virtual QFont Font() const { return QFont(); }
    virtual QString ComponentClass() const { return QStringLiteral("TBRPrintable"); }
    virtual QString Text() const { return QString(); }
    virtual QString TypeName() const { return QString(); }
    virtual QString Description() const { return QString(); }
    virtual Qt::Alignment Alignment() const { return Qt::AlignLeft; }
    virtual void SetAlignment(Qt::Alignment) {}
    virtual void SetColor(const QColor &) {}
    virtual void SetFont(const QFont &) {}
    virtual void SetText(const QString &) {}
    // Shows the control's settings and writes them back on OK; true on OK.
    virtual bool Edit(QWidget *) { return false; }

    TBRPrintable &Printable() const { return m_printable; }
    const TBRPrintableContext &Context() const { return m_context; }

private:
    TBRPrintable &m_printable;
    TBRPrintableContext m_context;
};
