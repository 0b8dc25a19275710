#pragma once

#include "reports/eval/BREvElements.h"

class TBRFunctionLibrary;

// Registers the 21 built-in functions in their fixed order.
void registerBuiltinFunctions(TBRFunctionLibrary &library);

// The functions that are not aggregates (those are in BRAggregates.h).
class TBRFunctionIF : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionSTR : public TBREvElementFunction { public: TBREvResult Calculate() override; };

// UPPER, LOWER and PRETTY: one string argument changed by letter case.
class TBRCaseFunction : public TBREvElementFunction
{
public:
    TBREvResult Calculate() override;

protected:
    virtual const char *Name() const = 0;
    virtual QString Apply(const QString &s) const = 0;
};
class TBRFunctionUPPER : public TBRCaseFunction
{
    const char *Name() const override { return "UPPER"; }
    QString Apply(const QString &s) const override { return s.toUpper(); }
};
class TBRFunctionLOWER : public TBRCaseFunction
{
    const char *Name() const override { return "LOWER"; }
    QString Apply(const QString &s) const override { return s.toLower(); }
};
class TBRFunctionPRETTY : public TBRCaseFunction
{
    const char *Name() const override { return "PRETTY"; }
    QString Apply(const QString &s) const override;
};

class TBRFunctionTIME : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionDATE : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionCOPY : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionTRUE : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionFALSE : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionINT : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionFRAC : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionSQRT : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionDIV : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionTYPEOF : public TBREvElementFunction { public: TBREvResult Calculate() override; };
class TBRFunctionFORMATNUMERIC : public TBREvElementFunction { public: TBREvResult Calculate() override; };
