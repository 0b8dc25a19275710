#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The page coder: an adaptive splay tree over the 256 byte values. Each byte
// is coded as the path from the root to its leaf (root first, bits packed from
// the lowest bit of each output byte up), then its leaf is splayed toward the
// root, in both directions alike. A fresh coder serves each page.
class TBRCompress
{
public:
    enum class Mode { Compress, Expand };

    explicit TBRCompress(Mode mode);

    // Compressing: codes one byte into the output.
    void SplayEncodeByte(quint8 byte);
    // Writes the partly filled last byte (when the bit position is not 0).
    void Flush();
    QByteArray &Output() { return m_out; }

    // Expanding: reads the coded bits of one byte from `in` at *pos.
    // Returns -1 when the input ends or the code leads to no byte value.
    int SplayDecodeByte(QByteArrayView in, qsizetype *pos);

    void SplayTreeReset();
    void SplayTreeSplay(int byte);

    static QByteArray compress(QByteArrayView plain);
    // Raises EBRError when `coded` does not hold `size` bytes.
    static QByteArray expand(QByteArrayView coded, qsizetype size);

private:
    static constexpr int Root = 0;
    static constexpr int FirstLeaf = 256;

    void putBits(quint64 bits, int count);
    int splayStep(int a, int c);

    Mode m_mode;
    // Pending bits, lowest first: the output byte being filled (compressing)
    // or the rest of the input byte (expanding).
    quint64 m_bits = 0;
    int m_bitCount = 0;
    quint16 m_child[256][2]; // left and right child of each inner node
    quint8 m_up[513];        // parent of every node
    QByteArray m_out;
};
