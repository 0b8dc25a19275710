#pragma once

#include <QLineEdit>

// Numeric entry box: "0" at creation, at most 10 characters, "." as the
// decimal separator whatever the user's locale.
class TNumericF : public QLineEdit
{
    Q_OBJECT
public:
    explicit TNumericF(QWidget *parent = nullptr);

    // The text as a number; a leading "." (also after a minus) reads as "0.";
    // 0 when the text is not a number.
    double Valoare() const;
    static double valueOf(QStringView text);
};
