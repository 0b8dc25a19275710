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
    void SplayTreeReset();
    // Compressing: the byte's path into the output, its leaf splayed on the way up.
    void SplayEncodeByte(quint8 byte, BitWriter &out);
    // One step up from leaf side: a, the child of c, takes the place of c's
    // sibling under c's parent d, and that sibling takes a's place under c.
    // Returns d.
    int splayStep(int a, int c);
    // Expanding: the next byte, its leaf splayed along the path read; -1 when
    // the input ends or the code leads to no byte value.
    int SplayDecodeByte(BitReader &in);

    quint16 m_child[256][2]; // left and right child of each inner node
    // Parent of every node times two, plus 1 when the node is its right child:
    // a walk up reads a node's bit and its parent at once.
    quint16 m_up[Nodes];
};
