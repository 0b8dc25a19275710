#pragma once

enum class TBRUnit { MM, Inches, Pixels, Characters, Native };
enum class TBRAxis { Horizontal, Vertical };

// Shows a length stored in native units (tenths of a millimetre, 254 to the
// inch) in the unit a user works in, and takes it back. Pixels follow the
// screen resolution and the zoom; characters the cell of the report's font.
struct TBRUnitBase
{
    TBRUnit Units = StartUnit();
    double PixelsPerInch = 96;
    int Zoom = 100;
    double FontSize = 10; // absolute point size of the report's font

    // Inches where the system measures in inches, millimetres elsewhere.
    static TBRUnit StartUnit();
    double FromNative(double native, TBRAxis axis) const;
    double ToNative(double value, TBRAxis axis) const;

private:
    double characterCell(TBRAxis axis) const;
};
