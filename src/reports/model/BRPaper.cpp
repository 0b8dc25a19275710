#include "reports/model/BRPaper.h"

namespace {

// Portrait width x length in millimetres of paper codes 1 to 68.
const float Sheets[68][2] = {
    {215.9f, 279.4f}, {215.9f, 279.4f}, {279.4f, 431.8f}, {431.8f, 279.4f}, {215.9f, 355.6f},   // 1-5
    {139.7f, 215.9f}, {184.15f, 266.7f}, {297, 420}, {210, 297}, {210, 297},                   // 6-10
    {148, 210}, {250, 354}, {182, 257}, {215.9f, 330.2f}, {215, 275},                          // 11-15
    {254, 355.6f}, {279.4f, 431.8f}, {215.9f, 279.4f}, {98.425f, 225.425f}, {104.775f, 241.3f}, // 16-20
    {114.3f, 263.525f}, {120.65f, 279.4f}, {127, 292.1f}, {431.8f, 558.8f}, {558.8f, 863.6f},   // 21-25
    {863.6f, 1117.6f}, {110, 220}, {162, 229}, {324, 458}, {229, 324},                          // 26-30
    {114, 162}, {114, 229}, {250, 353}, {176, 250}, {176, 125},                                // 31-35
    {110, 230}, {98.425f, 190.5f}, {92.075f, 165.1f}, {377.825f, 279.4f}, {215.9f, 304.8f},    // 36-40
    {215.9f, 330.2f}, {250, 353}, {100, 148}, {228.6f, 279.4f}, {254, 279.4f},                 // 41-45
    {381, 279.4f}, {220, 220}, {100, 100}, {100, 100}, {241.3f, 304.8f},                       // 46-50
    {241.3f, 381}, {296.926f, 457.2f}, {235.458f, 322.326f}, {279.4f, 215.9f}, {297, 210},     // 51-55
    {304.8f, 241.3f}, {227, 356}, {305, 487}, {215.9f, 322.326f}, {210, 330},                  // 56-60
    {210, 148}, {257, 182}, {322, 445}, {174, 235}, {201, 276},                                // 61-65
    {420, 594}, {420, 297}, {445, 322},                                                        // 66-68
};

} // namespace

int paperCode(TBRPaperSize size)
{
    return size == TBRPaperSize::Custom ? CustomPaperCode : int(size);
}

TBRPaperSize paperSizeOfCode(int code)
{
    if (code == CustomPaperCode)
        return TBRPaperSize::Custom;
    return code >= 1 && code <= 68 ? TBRPaperSize(code) : TBRPaperSize::Default;
}

QSizeF paperMillimetres(TBRPaperSize size)
{
    const int code = int(size);
    if (code < 1 || code > 68)
        return QSizeF();
    return QSizeF(Sheets[code - 1][0], Sheets[code - 1][1]);
}
