#pragma once

#include <QDate>
#include <QLineEdit>

// Entry box for a personal numeric code (13 digits).
class TCNPEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TCNPEdit(QWidget *parent = nullptr);

    // With AcceptGol an empty box counts as correct.
    bool AcceptGol = false;

    // True when the text is a valid code, or empty with AcceptGol.
    bool Corect() const;
    // The birth date of the code in the box (century rule of Cnp::birthDate,
    // as of today); an invalid date stands for "unknown" (short text,
    // non-digits, or digits that form no date).
    QDate NascutLa() const;
};
