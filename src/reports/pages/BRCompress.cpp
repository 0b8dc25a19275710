#include "reports/pages/BRCompress.h"

#include "reports/eval/BRError.h"

#include <QtEndian>

// Bits go into the output lowest first; whole words leave as they fill. The
// caller keeps room for the longest code ahead of `at`.
struct TBRCompress::BitWriter
{
    char *at;
    quint64 bits = 0;
    int count = 0;

    void put(quint64 code, int length) // length at most 32
    {
        bits |= code << count;
        count += length;
        if (count >= 32) {
            qToLittleEndian(quint32(bits), at);
            at += 4;
            bits >>= 32;
            count -= 32;
        }
    }
    // The partly filled last bytes.
    void flush()
    {
        for (; count > 0; count -= 8) {
            *at++ = char(bits & 0xff);
            bits >>= 8;
        }
    }
};

// Bits come from the input lowest first, eight bytes at a time while there are.
struct TBRCompress::BitReader
{
    const char *at;
    const char *end;
    quint64 bits = 0;
    int count = 0;

    // The next bit, or -1 when the input has ended.
    int next()
    {
        if (count == 0) {
            if (at == end)
                return -1;
            if (end - at >= 8) {
                bits = qFromLittleEndian<quint64>(at);
                at += 8;
                count = 64;
            } else {
                bits = quint8(*at++);
                count = 8;
            }
        }
        const int bit = int(bits & 1);
        bits >>= 1;
        --count;
        return bit;
    }
};

TBRCompress::TBRCompress()
{
    SplayTreeReset();
}

void TBRCompress::SplayTreeReset()
{
    m_up[0] = 0;
    for (int i = 1; i < Nodes; ++i)
        m_up[i] = quint16((i - 1) / 2 * 2 + (i - 1) % 2);
    for (int i = 0; i <= 255; ++i) {
        m_child[i][0] = quint16(2 * i + 1);
        m_child[i][1] = quint16(2 * i + 2);
    }
}

Q_ALWAYS_INLINE int TBRCompress::splayStep(int a, int c)
{
    const int upA = m_up[a], upC = m_up[c];
    const int d = upC >> 1, other = (upC & 1) ^ 1; // the slot of c's sibling b under d
    const int b = m_child[d][other];
    m_child[d][other] = quint16(a);
    m_child[c][upA & 1] = quint16(b);
    m_up[a] = quint16(d << 1 | other);
    m_up[b] = quint16(c << 1 | (upA & 1));
    return d;
}

Q_ALWAYS_INLINE void TBRCompress::SplayEncodeByte(quint8 byte, BitWriter &out)
{
    // One walk up from the leaf both notes the path and splays it: a step
    // changes only the links below the grandparent, so the bits read further
    // up are still those of the path before the splay. Shifting in the bits
    // leaf first leaves the root's bit lowest, in the order they are emitted.
    quint64 code = 0;
    int depth = 0;
    quint8 deep[MaxDepth]; // bits beyond one word, after unlucky splaying
    int deepCount = 0;
    const auto note = [&](int bit) {
        if (depth == 32) [[unlikely]] { // put() takes at most 32 bits at a time
            deep[deepCount++] = quint8(code >> 31);
            code &= (quint64(1) << 31) - 1;
            --depth;
        }
        code = code << 1 | quint64(bit);
        ++depth;
    };
    int a = byte + FirstLeaf;
    while (true) {
        const int upA = m_up[a], c = upA >> 1;
        note(upA & 1);
        if (c == Root)
            break;
        note(m_up[c] & 1);
        a = splayStep(a, c);
        if (a == Root)
            break;
    }
    // The bits pushed out of the word are the ones nearest the leaf: they go last.
    out.put(code, depth);
    for (int i = deepCount - 1; i >= 0; --i) [[unlikely]]
        out.put(deep[i], 1);
}

Q_ALWAYS_INLINE int TBRCompress::SplayDecodeByte(BitReader &in)
{
    // The path read down is kept, so the splay back up needs no parent links:
    // the steps change only the links below each grandparent on it.
    quint16 path[MaxDepth + 1];
    quint8 side[MaxDepth];
    int node = Root, depth = 0;
    path[0] = Root;
    while (node < FirstLeaf) {
        const int bit = in.next();
        if (bit < 0)
            return -1;
        side[depth] = quint8(bit);
        node = m_child[node][bit];
        path[++depth] = quint16(node);
    }
    // Node 512 hangs in the tree but stands for no byte: only damaged data reaches it.
    if (node > 511)
        return -1;
    for (int i = depth; i >= 2; i -= 2) {
        const int a = path[i], c = path[i - 1], d = path[i - 2];
        const int other = side[i - 2] ^ 1;
        const int b = m_child[d][other];
        m_child[d][other] = quint16(a);
        m_child[c][side[i - 1]] = quint16(b);
    }
    return node - FirstLeaf;
}

QByteArray TBRCompress::compress(QByteArrayView plain)
{
    // Room for the longest code a byte can have, kept ahead of the writer.
    constexpr qsizetype Room = MaxDepth / 8 + 8;
    TBRCompress c;
    QByteArray out(plain.size() / 2 + 2 * Room, Qt::Uninitialized);
    BitWriter w{out.data()};
    for (const char ch : plain) {
        if (out.constData() + out.size() - w.at < Room) [[unlikely]] {
            const qsizetype used = w.at - out.constData();
            out.resize(out.size() * 2);
            w.at = out.data() + used;
        }
        c.SplayEncodeByte(quint8(ch), w);
    }
    w.flush();
    out.truncate(w.at - out.constData());
    return out;
}

QByteArray TBRCompress::expand(QByteArrayView coded, qsizetype size)
{
    // Every byte costs at least one bit: a longer claim is damage, refused before allocating.
    if (size < 0 || size > coded.size() * 8)
        throw EBRError(QStringLiteral("Raportul salvat este deteriorat: o pagina comprimata pretinde %1 octeti din %2.")
                           .arg(size).arg(coded.size()));
    TBRCompress c;
    QByteArray out(size, Qt::Uninitialized);
    BitReader in{coded.data(), coded.data() + coded.size()};
    char *to = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const int b = c.SplayDecodeByte(in);
        if (b < 0)
            throw EBRError(QStringLiteral("Raportul salvat este deteriorat: pagina comprimata se opreste dupa %1 din %2 octeti.")
                               .arg(i).arg(size));
        to[i] = char(b);
    }
    return out;
}
