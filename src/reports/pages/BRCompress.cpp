#include "reports/pages/BRCompress.h"

#include "reports/eval/BRError.h"

#include <QtEndian>

TBRCompress::TBRCompress(Mode mode) : m_mode(mode)
{
    SplayTreeReset();
}

void TBRCompress::SplayTreeReset()
{
    for (int i = 1; i <= 512; ++i)
        m_up[i] = quint8((i - 1) / 2);
    m_up[0] = 0;
    for (int i = 0; i <= 255; ++i) {
        m_child[i][0] = quint16(2 * i + 1);
        m_child[i][1] = quint16(2 * i + 2);
    }
}

// One step: a, the child of c, takes the place of c under c's parent d,
// and a's sibling b moves under c. Returns d.
int TBRCompress::splayStep(int a, int c)
{
    const int d = m_up[c];
    int b = m_child[d][0];
    if (b == c) {
        b = m_child[d][1];
        m_child[d][1] = quint16(a);
    } else {
        m_child[d][0] = quint16(a);
    }
    m_child[c][a == m_child[c][0] ? 0 : 1] = quint16(b);
    m_up[a] = quint8(d);
    m_up[b] = quint8(c);
    return d;
}

void TBRCompress::SplayTreeSplay(int byte)
{
    for (int a = byte + FirstLeaf; a != Root;) {
        const int c = m_up[a];
        if (c == Root)
            break;
        a = splayStep(a, c);
    }
}

// Bits go into the output lowest first; whole bytes leave as they fill.
void TBRCompress::putBits(quint64 bits, int count)
{
    m_bits |= bits << m_bitCount;
    m_bitCount += count;
    if (m_bitCount >= 32) {
        char b[4];
        qToLittleEndian(quint32(m_bits), b);
        m_out.append(b, 4);
        m_bits >>= 32;
        m_bitCount -= 32;
    }
}

void TBRCompress::SplayEncodeByte(quint8 byte)
{
    // One walk up from the leaf both notes the path and splays it: a step
    // changes only the links below the grandparent, so the bits read further
    // up are still those of the path before the splay. Shifting in the bits
    // leaf first leaves the root's bit lowest, in the order they are emitted.
    quint64 code = 0;
    int depth = 0;
    quint8 deep[520]; // bits beyond one word, after unlucky splaying
    int deepCount = 0;
    auto note = [&](bool bit) {
        if (depth == 32) { // putBits takes at most 32 bits at a time
            deep[deepCount++] = quint8(code >> 31);
            code &= (quint64(1) << 31) - 1;
            --depth;
        }
        code = (code << 1) | quint64(bit);
        ++depth;
    };
    int a = byte + FirstLeaf;
    while (true) {
        const int c = m_up[a];
        note(m_child[c][1] == a);
        if (c == Root)
            break;
        note(m_child[m_up[c]][1] == c);
        a = splayStep(a, c);
        if (a == Root)
            break;
    }
    // The bits pushed out of the word are the ones nearest the leaf: they go last.
    putBits(code, depth);
    for (int i = deepCount - 1; i >= 0; --i)
        putBits(deep[i], 1);
}

void TBRCompress::Flush()
{
    if (m_mode != Mode::Compress)
        return;
    while (m_bitCount > 0) {
        m_out.append(char(m_bits & 0xff));
        m_bits >>= 8;
        m_bitCount = qMax(m_bitCount - 8, 0);
    }
    m_bits = 0;
}

int TBRCompress::SplayDecodeByte(QByteArrayView in, qsizetype *pos)
{
    int node = Root;
    while (node < FirstLeaf) {
        if (m_bitCount == 0) {
            if (*pos >= in.size())
                return -1;
            if (in.size() - *pos >= 8) {
                m_bits = qFromLittleEndian<quint64>(in.data() + *pos);
                *pos += 8;
                m_bitCount = 64;
            } else {
                m_bits = quint8(in[(*pos)++]);
                m_bitCount = 8;
            }
        }
        node = m_child[node][m_bits & 1];
        m_bits >>= 1;
        --m_bitCount;
    }
    // Node 512 hangs in the tree but stands for no byte: only damaged data reaches it.
    if (node > 511)
        return -1;
    SplayTreeSplay(node - FirstLeaf);
    return node - FirstLeaf;
}

QByteArray TBRCompress::compress(QByteArrayView plain)
{
    TBRCompress c(Mode::Compress);
    c.m_out.reserve(plain.size() / 2 + 16);
    for (char ch : plain)
        c.SplayEncodeByte(quint8(ch));
    c.Flush();
    return std::move(c.m_out);
}

QByteArray TBRCompress::expand(QByteArrayView coded, qsizetype size)
{
    // Every byte costs at least one bit: a longer claim is damage, refused before allocating.
    if (size < 0 || size > coded.size() * 8)
        throw EBRError(QStringLiteral("Raportul salvat este deteriorat: o pagina comprimata pretinde %1 octeti din %2.")
                           .arg(size).arg(coded.size()));
    TBRCompress c(Mode::Expand);
    QByteArray out(size, Qt::Uninitialized);
    qsizetype pos = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const int b = c.SplayDecodeByte(coded, &pos);
        if (b < 0)
            throw EBRError(QStringLiteral("Raportul salvat este deteriorat: pagina comprimata se opreste dupa %1 din %2 octeti.")
                               .arg(i).arg(size));
        out[i] = char(b);
    }
    return out;
}
