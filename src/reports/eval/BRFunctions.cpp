#include "reports/eval/BRFunctions.h"

#include "reports/eval/BRAggregates.h"
#include "reports/eval/BRFunctionLibrary.h"
#include "reports/eval/BRMessages.h"
#include "reports/eval/BRLocaleText.h"
#include "reports/eval/BRPictureMask.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <limits>

namespace {

TBREvResult wrongArguments(const char *name)
{
    return TBREvResult::error(BRText::WrongArguments, QLatin1String(name));
}

// A float that fits a 32-bit integer after rounding or truncation, or nothing.
bool toInt32(double v, qint32 *out)
{
    if (!(v >= double(std::numeric_limits<qint32>::min()) && v <= double(std::numeric_limits<qint32>::max())))
        return false;
    *out = qint32(v);
    return true;
}

// Nearest integer, halves to even.
double roundHalfEven(double v)
{
    const double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        return 2.0 * std::round(v / 2.0);
    return r;
}

bool integerArgument(const TBREvResult &v, qint32 *out)
{
    if (v.kind == TBREvKind::Integer) {
        *out = v.intValue;
        return true;
    }
    return v.kind == TBREvKind::Float && toInt32(roundHalfEven(v.floatValue), out);
}

} // namespace

TBREvResult TBRFunctionIF::Calculate()
{
    if (ArgCount() != 3 || Arg(0).kind != TBREvKind::Boolean)
        return wrongArguments("IF");
    return Arg(0).boolValue ? Arg(1) : Arg(2);
}

TBREvResult TBRFunctionSTR::Calculate()
{
    if (ArgCount() != 1 || Arg(0).kind == TBREvKind::String || Arg(0).isError())
        return TBREvResult::error(QString::fromLatin1(BRText::ConversionError));
    return TBREvResult::string(ValueToString(Arg(0)));
}

TBREvResult TBRCaseFunction::Calculate()
{
    if (ArgCount() != 1)
        return TBREvResult::error(BRText::MissingArgument, QLatin1String(Name()));
    if (Arg(0).isError())
        return Arg(0);
    if (Arg(0).kind != TBREvKind::String)
        return wrongArguments(Name());
    return TBREvResult::string(Apply(Arg(0).stringValue));
}

QString TBRFunctionPRETTY::Apply(const QString &s) const
{
    if (s.isEmpty())
        return s;
    const int first = s.at(0).isHighSurrogate() && s.size() > 1 ? 2 : 1;
    return s.left(first).toUpper() + s.mid(first).toLower();
}

TBREvResult TBRFunctionTIME::Calculate()
{
    if (ArgCount() != 0)
        return wrongArguments("TIME");
    return TBREvResult::string(BRLocaleText::LongTime(QTime::currentTime()));
}

TBREvResult TBRFunctionDATE::Calculate()
{
    if (ArgCount() != 0)
        return wrongArguments("DATE");
    return TBREvResult::string(BRLocaleText::ShortDate(QDate::currentDate()));
}

TBREvResult TBRFunctionCOPY::Calculate()
{
    if (ArgCount() != 3 || Arg(0).kind != TBREvKind::String || Arg(1).kind != TBREvKind::Integer
        || Arg(2).kind != TBREvKind::Integer)
        return wrongArguments("COPY");
    const QString &s = Arg(0).stringValue;
    const qint64 start = qMax<qint64>(Arg(1).intValue, 1) - 1; // 0 (and below) count as 1
    const qint64 count = qMin<qint64>(Arg(2).intValue, s.size() - start);
    if (start >= s.size() || count <= 0)
        return TBREvResult::string(QString());
    return TBREvResult::string(s.mid(start, count));
}

TBREvResult TBRFunctionTRUE::Calculate()
{
    if (ArgCount() != 0)
        return TBREvResult::error(QString::fromLatin1(BRText::TooManyArguments));
    return TBREvResult::boolean(true);
}

TBREvResult TBRFunctionFALSE::Calculate()
{
    if (ArgCount() != 0)
        return TBREvResult::error(QString::fromLatin1(BRText::TooManyArguments));
    return TBREvResult::boolean(false);
}

TBREvResult TBRFunctionINT::Calculate()
{
    if (ArgCount() == 1 && Arg(0).kind == TBREvKind::Integer)
        return Arg(0);
    qint32 v = 0;
    if (ArgCount() == 1 && Arg(0).kind == TBREvKind::Float && toInt32(std::trunc(Arg(0).floatValue), &v))
        return TBREvResult::integer(v);
    return wrongArguments("INT");
}

TBREvResult TBRFunctionFRAC::Calculate()
{
    if (ArgCount() == 1 && Arg(0).kind == TBREvKind::Integer)
        return TBREvResult::floating(0.0);
    if (ArgCount() == 1 && Arg(0).kind == TBREvKind::Float)
        return TBREvResult::floating(Arg(0).floatValue - std::trunc(Arg(0).floatValue));
    return wrongArguments("FRAC");
}

TBREvResult TBRFunctionSQRT::Calculate()
{
    if (ArgCount() != 1 || !Arg(0).isNumeric() || Arg(0).asDouble() < 0)
        return TBREvResult::error(QString::fromLatin1(BRText::InvalidSqrt));
    return TBREvResult::floating(std::sqrt(Arg(0).asDouble()));
}

TBREvResult TBRFunctionDIV::Calculate()
{
    qint32 a = 0, b = 0;
    if (ArgCount() != 2 || !integerArgument(Arg(0), &a) || !integerArgument(Arg(1), &b))
        return wrongArguments("DIV");
    if (b == 0)
        return TBREvResult::error(QString::fromLatin1(BRText::DivisionByZero));
    if (b == -1) // the one quotient that does not fit wraps, as the other integer operations do
        return TBREvResult::integer(qint32(0u - quint32(a)));
    return TBREvResult::integer(a / b);
}

TBREvResult TBRFunctionTYPEOF::Calculate()
{
    if (ArgCount() != 1)
        return wrongArguments("TypeOf");
    return TBREvResult::string(kindName(Arg(0).kind));
}

TBREvResult TBRFunctionFORMATNUMERIC::Calculate()
{
    if (ArgCount() != 2 || Arg(0).kind != TBREvKind::String || !Arg(1).isNumeric())
        return wrongArguments("FORMATNUMERIC");
    bool ok = false;
    const QString text = formatFloatMask(Arg(0).stringValue, Arg(1).asDouble(), &ok);
    if (!ok)
        return TBREvResult::error(QString::fromLatin1(BRText::InvalidFormat));
    return TBREvResult::string(text);
}

void registerBuiltinFunctions(TBRFunctionLibrary &lib)
{
    const QString vendor = QStringLiteral("Kestrun");
    auto add = [&](TBRFunctionClass cls, const char *name, const char *description, const char *descriptor) {
        lib.Add({QLatin1String(name), QString::fromLatin1(description), QLatin1String(descriptor), vendor, cls});
    };
    add(makeFunction<TBRFunctionIF>, "IF",
        "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>", "5BVV");
    add(makeFunction<TBRFunctionSTR>, "STR", "STR(<X>)|Convert a numeric <X> to a string", "7N");
    add(makeFunction<TBRFunctionUPPER>, "UPPER", "UPPER(<X>)|Converts a string to upper case letters", "7S");
    add(makeFunction<TBRFunctionLOWER>, "LOWER", "LOWER(<X>)|Converts a string to lower case letters", "7S");
    add(makeFunction<TBRFunctionPRETTY>, "PRETTY",
        "PRETTY(<X>)|Makes the first character upper case and the rest lower case", "7S");
    add(makeFunction<TBRFunctionTIME>, "TIME", "TIME|Return current time as a string", "1");
    add(makeFunction<TBRFunctionDATE>, "DATE", "DATE|Return current date as a string", "1");
    add(makeFunction<TBRFunctionCOPY>, "COPY", "COPY(<X>, <St>,<Len>)|Returns a substring of string X", "7SNN");
    add(makeFunction<TBRFunctionSUM>, "SUM", "SUM(<X>)|Sums the numeric <X>", "3N");
    add(makeFunction<TBRFunctionCOUNT>, "COUNT", "COUNT|Increments for each iteration", "3");
    add(makeFunction<TBRFunctionMAX>, "MAX", "MAX(<X>)|Returns the highest <X>", "3V");
    add(makeFunction<TBRFunctionMIN>, "MIN", "MIN(<X>)|Returns the lowest <X>", "3V");
    add(makeFunction<TBRFunctionAVERAGE>, "AVERAGE", "AVERAGE(<X>)|Returns the average of numeric <X>", "3N");
    add(makeFunction<TBRFunctionTRUE>, "TRUE", "TRUE|boolean value", "5");
    add(makeFunction<TBRFunctionFALSE>, "FALSE", "FALSE|boolean value", "5");
    add(makeFunction<TBRFunctionINT>, "INT", "INT(<X>)|Returns the integer part of <X>", "2N");
    add(makeFunction<TBRFunctionFRAC>, "FRAC", "FRAC(<X>)|Returns the fractional part of <X>", "2N");
    add(makeFunction<TBRFunctionSQRT>, "SQRT", "SQRT(<X>)|Returns square root of <X>", "2N");
    add(makeFunction<TBRFunctionDIV>, "DIV", "DIV(<X>, <Y>) | Integer division of <X> by <Y>", "2NN");
    add(makeFunction<TBRFunctionTYPEOF>, "TYPEOF", "TYPEOF(<Exp>)|Returns the data type of <Exp>", "6N");
    add(makeFunction<TBRFunctionFORMATNUMERIC>, "FORMATNUMERIC",
        "FORMATNUMERIC(<F>,<N>)|Formats numeric <N> using the mask in <F>", "7SN");
}
