#pragma once

#include <QString>

// Formats a number with a picture mask: "0" and "#" digit places, "." the
// decimal point, "," thousands grouping, "E+"/"E-" an exponent, quoted text
// and other characters as they stand, up to three sections "positive;negative;zero".
// An empty mask gives the general form. Halves round away from zero.
// *ok turns false when the value cannot be formatted (not finite).
QString formatFloatMask(const QString &mask, double value, bool *ok);
