#include "reports/pages/BRCompress.h"

#include "reports/eval/BRError.h"

#include <QtEndian>

// Bits go into the output lowest first. Each code goes out as one word
// stored at the first byte not yet full; the writer moves on by the bytes
// filled. The caller keeps room for the longest code and a word ahead of `at`.
struct TBRCompress::BitWriter
{
    static constexpr int MaxBits = 56; // bits one put() takes, at most

    char *at;
    quint64 bits = 0; // the bits of the byte at `at`: fewer than eight
    int count = 0;

    void put(quint64 code, int length)
    {
        bits |= code << count;
        count += length;
        qToLittleEndian(bits, at);
        at += count >> 3;
        bits >>= count & ~7;
        count &= 7;
    }
    // The partly filled last byte.
    void flush()
    {
        if (count > 0)
            *at++ = char(bits);
    }
};

// Bits come from the input lowest first. The reader keeps only the position:
// a walk down takes its bits from one word loaded there, while eight bytes remain.
struct TBRCompress::BitReader
{
    static constexpr int WindowBits = 57; // bits one word surely holds past the position

    const uchar *data;
    qint64 bitCount;
    qint64 pos = 0; // bits read

    bool wide() const { return (pos >> 3) + 8 <= bitCount >> 3; }
    quint64 window() const { return qFromLittleEndian<quint64>(data + (pos >> 3)) >> (pos & 7); }
    // The bit at p, or -1 past the input.
    int bitAt(qint64 p) const { return p < bitCount ? (data[p >> 3] >> (p & 7)) & 1 : -1; }
};

TBRCompress::TBRCompress()
{
    // The complete tree: node n's children are 2n + 1 and 2n + 2, so slot k holds k + 1.
    for (int k = 0; k < 2 * FirstLeaf; ++k)
        m_child[k] = quint16(k + 1);
    m_up[Root] = 0;
    for (int n = 1; n < Nodes; ++n)
        m_up[n] = quint16(n - 1);
}

Q_ALWAYS_INLINE void TBRCompress::SplayEncodeByte(quint8 byte, BitWriter &out)
{
    // One walk up from the leaf both notes the path and splays it: a step
    // changes only the links below the grandparent, so the bits read further
    // up are still those of the path before the splay. Shifting in the bits
    // leaf first leaves the root's bit lowest, in the order they are emitted.
    // A step: a, the child of c, takes the place of c's sibling b under c's
    // parent d, and b takes a's place under c.
    struct Part
    {
        quint64 code;
        int length;
    };
    Part deep[MaxDepth / (BitWriter::MaxBits - 2) + 1]; // bits beyond one word, nearest the leaf
    int deepCount = 0;
    quint64 code = 0;
    int depth = 0;
    unsigned a = byte + FirstLeaf, upA;
    while (true) {
        if (depth > BitWriter::MaxBits - 2) [[unlikely]] {
            deep[deepCount++] = {code, depth};
            code = 0;
            depth = 0;
        }
        upA = m_up[a];
        if (upA < 2) // a is the root, or hangs from it
            break;
        const unsigned upC = m_up[upA >> 1];
        code = code << 2 | (upA & 1) << 1 | (upC & 1);
        depth += 2;
        const unsigned slotB = upC ^ 1;
        const unsigned b = m_child[slotB];
        m_child[slotB] = quint16(a);
        m_child[upA] = quint16(b);
        m_up[a] = quint16(slotB);
        m_up[b] = quint16(upA);
        a = upC >> 1;
    }
    // Below the root, one level is left: its bit, with no step.
    const unsigned last = a != Root;
    code = code << last | (upA & last);
    depth += int(last);
    out.put(code, depth);
    while (deepCount > 0) [[unlikely]] {
        --deepCount;
        out.put(deep[deepCount].code, deep[deepCount].length);
    }
}

Q_ALWAYS_INLINE int TBRCompress::SplayDecodeByte(BitReader &in)
{
    unsigned node = Root;
    int depth = 0;
    if (in.wide()) [[likely]] {
        // Past the word's bits the walk reads zeros, which still end at a
        // leaf within MaxDepth; so deep a path is walked again below.
        quint64 window = in.window();
        do {
            const unsigned slot = node * 2 + unsigned(window & 1);
            window >>= 1;
            m_slot[depth++] = quint16(slot);
            node = m_child[slot];
        } while (node < FirstLeaf);
        if (depth > BitReader::WindowBits) [[unlikely]] {
            node = Root;
            depth = 0;
        }
    }
    // Near the end of the input, or on a path longer than a word: bit by bit.
    while (node < FirstLeaf) {
        const int bit = in.bitAt(in.pos + depth);
        if (bit < 0)
            return -1;
        const unsigned slot = node * 2 + unsigned(bit);
        m_slot[depth++] = quint16(slot);
        node = m_child[slot];
    }
    in.pos += depth;
    // Node 512 hangs in the tree but stands for no byte: only damaged data reaches it.
    if (node > 511)
        return -1;
    // The splay along the slots just passed, as the compressing side's walk up
    // does it: a step changes only the links below its grandparent.
    unsigned a = node;
    for (int i = depth; i >= 2; i -= 2) {
        const unsigned slotA = m_slot[i - 1], slotC = m_slot[i - 2];
        const unsigned b = m_child[slotC ^ 1];
        m_child[slotC ^ 1] = quint16(a);
        m_child[slotA] = quint16(b);
        a = slotC >> 1;
    }
    return int(node) - FirstLeaf;
}

QByteArray TBRCompress::compress(QByteArrayView plain)
{
    // The room is checked once a block: enough for a block of the longest
    // codes, and the word the writer stores past its position.
    constexpr qsizetype Block = 64;
    constexpr qsizetype Room = Block * (MaxDepth / 8) + 8;
    TBRCompress c;
    QByteArray out(plain.size() / 2 + Room, Qt::Uninitialized);
    char *start = out.data(), *end = start + out.size();
    BitWriter w{start};
    const char *in = plain.data();
    for (qsizetype left = plain.size(); left > 0;) {
        if (end - w.at < Room) [[unlikely]] {
            const qsizetype used = w.at - start;
            out.resize(out.size() * 2);
            start = out.data();
            end = start + out.size();
            w.at = start + used;
        }
        const qsizetype n = qMin(left, Block);
        for (const char *stop = in + n; in != stop; ++in)
            c.SplayEncodeByte(quint8(*in), w);
        left -= n;
    }
    w.flush();
    out.truncate(w.at - start);
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
    BitReader in{reinterpret_cast<const uchar *>(coded.data()), qint64(coded.size()) * 8};
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
