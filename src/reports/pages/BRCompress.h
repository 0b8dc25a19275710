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
    static QByteArray compress(QByteArrayView plain);
    // Raises EBRError when `coded` does not hold `size` bytes.
    static QByteArray expand(QByteArrayView coded, qsizetype size);

private:
    static constexpr int Root = 0;
    static constexpr int FirstLeaf = 256;
    static constexpr int Nodes = 513;  // 256 inner nodes, then the leaves (the last stands for no byte)
    static constexpr int MaxDepth = 256; // inner nodes on a path, at most

    struct BitWriter;
    struct BitReader;

    TBRCompress();
    // Compressing: the byte's path into the output, its leaf splayed on the way up.
    void SplayEncodeByte(quint8 byte, BitWriter &out);
    // Expanding: the next byte, its leaf splayed along the path read; -1 when
    // the input ends or the code leads to no byte value.
    int SplayDecodeByte(BitReader &in);

    // The tree by slots: the child on side s of inner node n is in slot 2n + s.
    quint16 m_child[2 * FirstLeaf];
    // Compressing only: the slot each node hangs in, so its parent times two
    // plus its side. A walk up reads a node's bit and its parent at once.
    quint16 m_up[Nodes];
    // Expanding only: the slots passed on the way down, root first.
    quint16 m_slot[MaxDepth];
};
