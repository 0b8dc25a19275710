#pragma once

#include <QString>

// Kinds of a value, in the order the engine numbers them.
enum class TBREvKind : quint8 { Integer = 0, Float = 1, String = 2, Boolean = 3, Error = 4 };

// One value of an expression. Text (and an error's message) keeps at most
// 255 characters, whatever put it there.
struct TBREvResult
{
    static constexpr int MaxText = 255;

    TBREvKind kind = TBREvKind::Error;
    qint32 intValue = 0;
    double floatValue = 0.0;
    QString stringValue;
    bool boolValue = false;

    static TBREvResult integer(qint32 v) { TBREvResult r; r.kind = TBREvKind::Integer; r.intValue = v; return r; }
    // A value that is not finite becomes an error: the engine never carries NaN or infinity.
    static TBREvResult floating(double v);
    static TBREvResult string(const QString &s);
    static TBREvResult boolean(bool v) { TBREvResult r; r.kind = TBREvKind::Boolean; r.boolValue = v; return r; }
    static TBREvResult error(const QString &message = QString());
    // An error whose English text has one "%1".
    static TBREvResult error(const char *format, const QString &arg);

    bool isError() const { return kind == TBREvKind::Error; }
    bool isNumeric() const { return kind == TBREvKind::Integer || kind == TBREvKind::Float; }
    double asDouble() const { return kind == TBREvKind::Integer ? double(intValue) : floatValue; }
};

// Text of the first MaxText characters (a surrogate pair is never split).
QString capText(const QString &s);
// The value as text: integers in decimal, floats in the general form with up to
// 15 significant digits and ".", booleans "True" or "False", strings and error
// messages as they are.
QString ValueToString(const TBREvResult &v);
// General text form of a float (also the empty picture mask).
QString floatToText(double v);
// "INTEGER", "FLOAT", "STRING", "BOOLEAN" or "ERROR".
QString kindName(TBREvKind kind);
