#include "reports/eval/BREvResult.h"

#include "reports/eval/BRMessages.h"

#include <cmath>

TBREvResult TBREvResult::floating(double v)
{
    if (std::isnan(v))
        return error(QString::fromLatin1(BRText::FloatInvalid));
    if (std::isinf(v))
        return error(QString::fromLatin1(BRText::FloatOverflow));
    TBREvResult r;
    r.kind = TBREvKind::Float;
    r.floatValue = v;
    return r;
}

TBREvResult TBREvResult::string(const QString &s)
{
    TBREvResult r;
    r.kind = TBREvKind::String;
    r.stringValue = capText(s);
    return r;
}

TBREvResult TBREvResult::error(const QString &message)
{
    TBREvResult r;
    r.kind = TBREvKind::Error;
    r.stringValue = capText(message);
    return r;
}

TBREvResult TBREvResult::error(const char *format, const QString &arg)
{
    return error(QString::fromLatin1(format).arg(arg));
}

QString capText(const QString &s)
{
    if (s.size() <= TBREvResult::MaxText)
        return s;
    int n = TBREvResult::MaxText;
    if (s.at(n - 1).isHighSurrogate())
        --n;
    return s.left(n);
}

QString floatToText(double v)
{
    return QString::number(v, 'g', 15);
}

QString ValueToString(const TBREvResult &v)
{
    switch (v.kind) {
    case TBREvKind::Integer: return QString::number(v.intValue);
    case TBREvKind::Float: return floatToText(v.floatValue);
    case TBREvKind::Boolean: return v.boolValue ? QStringLiteral("True") : QStringLiteral("False");
    case TBREvKind::String:
    case TBREvKind::Error: break;
    }
    return v.stringValue;
}

QString kindName(TBREvKind kind)
{
    switch (kind) {
    case TBREvKind::Integer: return QStringLiteral("INTEGER");
    case TBREvKind::Float: return QStringLiteral("FLOAT");
    case TBREvKind::String: return QStringLiteral("STRING");
    case TBREvKind::Boolean: return QStringLiteral("BOOLEAN");
    case TBREvKind::Error: break;
    }
    return QStringLiteral("ERROR");
}
