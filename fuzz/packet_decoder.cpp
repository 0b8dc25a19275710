// Hostile bytes from the backup server: the decoder must cut the same packets
// however the bytes are split, stop for good at a bad length, and the payload
// readers must stay inside their payload.
#include "remote/PacketCodec.h"

#include <cstddef>
#include <cstdint>

namespace {

QList<Packet> decode(QByteArrayView bytes, qsizetype cut, bool &failed)
{
    PacketDecoder d;
    QList<Packet> out;
    Packet p;
    for (QByteArrayView part : {bytes.first(cut), bytes.sliced(cut)}) {
        d.feed(part);
        PacketDecoder::Result r;
        while ((r = d.next(p)) == PacketDecoder::Result::Packet) {
            if (p.payload.size() > qsizetype(PacketCodec::MaxLength))
                __builtin_trap();
            out.append(p);
        }
        failed = r == PacketDecoder::Result::Error;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bool failedWhole = false;
    bool failedSplit = false;
    const QList<Packet> whole = decode(bytes, bytes.size(), failedWhole);
    const QList<Packet> split = decode(bytes, size ? qsizetype(data[0] % size) : 0, failedSplit);
    if (whole.size() != split.size() || failedWhole != failedSplit)
        __builtin_trap();
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (whole[i].id != split[i].id || whole[i].payload != split[i].payload)
            __builtin_trap();
        PacketCodec::readAnnouncement(whole[i].payload);
        PacketCodec::readRelayed(whole[i].payload);
        PacketCodec::lines(whole[i].payload);
    }
    return 0;
}
