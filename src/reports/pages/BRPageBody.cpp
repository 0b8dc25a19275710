#include "reports/pages/BRPageBody.h"

#include "reports/pages/BRByteReader.h"

#include <cmath>

namespace {

const char Magic[] = "BRPG";

void putRect(TBRByteWriter &w, const QRectF &r)
{
    w.f32(float(r.x()));
    w.f32(float(r.y()));
    w.f32(float(r.width()));
    w.f32(float(r.height()));
}

float getNumber(TBRByteReader &r)
{
    const float v = r.f32();
    if (!std::isfinite(v))
        r.fail(QStringLiteral("numar care nu este finit"));
    return v;
}

QRectF getRect(TBRByteReader &r)
{
    const float x = getNumber(r), y = getNumber(r), w = getNumber(r), h = getNumber(r);
    return QRectF(x, y, w, h);
}

void putText(TBRByteWriter &w, const QString &s)
{
    const QByteArray u = s.toUtf8();
    w.u32(quint32(u.size()));
    w.bytes(u);
}

QString getText(TBRByteReader &r)
{
    const qsizetype n = r.count(r.u32(), 1);
    return QString::fromUtf8(r.bytes(n));
}

void putItem(TBRByteWriter &w, const TBRPageItem &it)
{
    w.u8(quint8(it.kind));
    switch (it.kind) {
    case TBRItemKind::Font:
        putText(w, it.font.family);
        w.f32(it.font.pointSize);
        w.u8(it.font.style);
        w.u32(it.font.color);
        break;
    case TBRItemKind::Pen:
        w.u32(it.pen.color);
        w.f32(it.pen.width);
        w.u8(it.pen.style);
        break;
    case TBRItemKind::Brush:
        w.u32(it.brush.color);
        w.u8(it.brush.style);
        break;
    case TBRItemKind::Text:
        putRect(w, it.rect);
        w.u16(it.flags);
        putText(w, it.text);
        break;
    case TBRItemKind::RoundRect:
        putRect(w, it.rect);
        w.f32(it.rx);
        w.f32(it.ry);
        break;
    case TBRItemKind::FillRect:
        putRect(w, it.rect);
        w.u32(it.color);
        break;
    case TBRItemKind::Image:
        putRect(w, it.rect);
        w.u32(quint32(it.data.size()));
        w.bytes(it.data);
        break;
    case TBRItemKind::Link:
        putRect(w, it.rect);
        putText(w, it.text);
        break;
    case TBRItemKind::Line:
    case TBRItemKind::Rectangle:
    case TBRItemKind::Ellipse:
        putRect(w, it.rect);
        break;
    }
}

TBRPageItem getItem(TBRByteReader &r)
{
    TBRPageItem it;
    const quint8 kind = r.u8();
    if (kind < quint8(TBRItemKind::Font) || kind > quint8(TBRItemKind::Link))
        r.fail(QStringLiteral("element de pagina necunoscut (%1)").arg(kind));
    it.kind = TBRItemKind(kind);
    switch (it.kind) {
    case TBRItemKind::Font:
        it.font.family = getText(r);
        it.font.pointSize = getNumber(r);
        it.font.style = r.u8();
        it.font.color = r.u32();
        break;
    case TBRItemKind::Pen:
        it.pen.color = r.u32();
        it.pen.width = getNumber(r);
        it.pen.style = r.u8();
        break;
    case TBRItemKind::Brush:
        it.brush.color = r.u32();
        it.brush.style = r.u8();
        break;
    case TBRItemKind::Text:
        it.rect = getRect(r);
        it.flags = r.u16();
        it.text = getText(r);
        break;
    case TBRItemKind::RoundRect:
        it.rect = getRect(r);
        it.rx = getNumber(r);
        it.ry = getNumber(r);
        break;
    case TBRItemKind::FillRect:
        it.rect = getRect(r);
        it.color = r.u32();
        break;
    case TBRItemKind::Image:
        it.rect = getRect(r);
        it.data = r.bytes(r.count(r.u32(), 1)).toByteArray();
        break;
    case TBRItemKind::Link:
        it.rect = getRect(r);
        it.text = getText(r);
        break;
    case TBRItemKind::Line:
    case TBRItemKind::Rectangle:
    case TBRItemKind::Ellipse:
        it.rect = getRect(r);
        break;
    }
    return it;
}

// The fields every item kind carries, for comparing two pages.
bool sameItem(const TBRPageItem &a, const TBRPageItem &b)
{
    return a.kind == b.kind && a.rect == b.rect && a.text == b.text && a.data == b.data && a.font == b.font
        && a.pen == b.pen && a.brush == b.brush && a.flags == b.flags && a.color == b.color && a.rx == b.rx
        && a.ry == b.ry;
}

} // namespace

QByteArray TBRPageBody::encode() const
{
    TBRByteWriter w;
    w.bytes(QByteArrayView(Magic, 4));
    w.u16(Version);
    w.f32(Width);
    w.f32(Height);
    w.f32(DpiX);
    w.f32(DpiY);
    w.u32(quint32(Items.size()));
    for (const TBRPageItem &it : Items)
        putItem(w, it);
    return std::move(w.data());
}

TBRPageBody TBRPageBody::decode(QByteArrayView bytes)
{
    TBRByteReader r(bytes, QStringLiteral("pagina"));
    if (r.bytes(qMin<qsizetype>(4, bytes.size())) != QByteArrayView(Magic, 4))
        r.fail(QStringLiteral("pagina nu este in formatul acestui program"));
    const quint16 version = r.u16();
    if (version != Version)
        r.fail(QStringLiteral("pagina are versiunea %1, programul citeste versiunea %2").arg(version).arg(Version));
    TBRPageBody page;
    page.Width = getNumber(r);
    page.Height = getNumber(r);
    page.DpiX = getNumber(r);
    page.DpiY = getNumber(r);
    if (page.DpiX <= 0 || page.DpiY <= 0)
        r.fail(QStringLiteral("rezolutia paginii nu este pozitiva"));
    const qsizetype n = r.count(r.u32(), 1 + 4); // the smallest item: a kind and a brush
    page.Items.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        page.Items.push_back(getItem(r));
    if (!r.atEnd())
        r.fail(QStringLiteral("octeti in plus dupa ultimul element"));
    return page;
}

QStringList TBRPageBody::Texts() const
{
    QStringList out;
    for (const TBRPageItem &it : Items)
        if (it.kind == TBRItemKind::Text)
            out << it.text;
    return out;
}

bool TBRPageBody::operator==(const TBRPageBody &o) const
{
    return Width == o.Width && Height == o.Height && DpiX == o.DpiX && DpiY == o.DpiY && Items.size() == o.Items.size()
        && std::equal(Items.begin(), Items.end(), o.Items.begin(), sameItem);
}
