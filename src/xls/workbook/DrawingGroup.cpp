#include "xls/workbook/DrawingGroup.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/DrawingRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/OfficeArtRecord.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QCryptographicHash>

using R = TOfficeArtRecord;

namespace {

constexpr int BseFixedSize = 36;
constexpr int ShapesPerCluster = 1024;
constexpr quint64 MaxDrawingId = 0xFFF;
// BSE and blip kinds: the BSE names the format, the blip's instance says
// how many ids come before the bytes (odd: two).
constexpr int BlipJpegKind = 5, BlipPngKind = 6;
constexpr int JpegInstance = 0x46A, PngInstance = 0x6E0;

// The group's records: the first MSODRAWINGGROUP and any further ones right
// after it (writers cut a large group into CONTINUE records or into these).
int GroupRecordCount(const TBaseRecordList &globals, int first)
{
    int count = 0;
    while (first + count < globals.Count() && globals.Items(first + count)
           && globals.Items(first + count)->RecordId() == TDrawingGroupRecord::Id)
        ++count;
    return count;
}

}  // namespace

struct TDrawingGroup::TPlace
{
    R Container;
    R Dgg;
};

TDrawingGroup::TDrawingGroup(TBaseRecordList &globals) : FGlobals(globals)
{
    const int first = XlsDetail::FindRecord(globals, TDrawingGroupRecord::Id);
    const int count = first >= 0 ? GroupRecordCount(globals, first) : 0;
    for (int i = 0; i < count; ++i)
        FData += globals.Items(first + i)->DataWithContinues();
    if (!FData.isEmpty())
        Dgg();  // a group we cannot walk is refused before anything changes
}

TDrawingGroup::TPlace TDrawingGroup::Dgg() const
{
    const R container = R::Read(FData, 0, FData.size());
    const R dgg = R::Child(FData, container, R::Dgg);
    if (container.Type != R::DggContainer || dgg.Type != R::Dgg || dgg.Length < 16)
        XlsRaise(XlsMsg::FileInvalid);
    return {container, dgg};
}

quint32 TDrawingGroup::Word32(qsizetype at) const
{
    return ReadCardinal(FData, at);
}

void TDrawingGroup::SetWord32(qsizetype at, quint32 value)
{
    WriteCardinal(FData, at, value);
}

void TDrawingGroup::EnsureExists()
{
    if (Exists())
        return;
    QByteArray dgg(16, '\0');
    WriteCardinal(dgg, 0, ShapesPerCluster);  // no shape yet
    WriteCardinal(dgg, 4, 1);
    // The defaults every new group carries: text fits the shape, the
    // fill and line colours of the system.
    QByteArray opt(18, '\0');
    const quint16 ids[] = {0x00BF, 0x0181, 0x01C0};
    const quint32 values[] = {0x00080008, 0x08000041, 0x08000040};
    for (int i = 0; i < 3; ++i) {
        WriteWord(opt, i * 6, ids[i]);
        WriteCardinal(opt, i * 6 + 2, values[i]);
    }
    QByteArray colours(16, '\0');
    const quint32 menu[] = {0x0800000D, 0x0800000C, 0x08000017, 0x100000F7};
    for (int i = 0; i < 4; ++i)
        WriteCardinal(colours, i * 4, menu[i]);
    FData = R::Make(0xF, 0, R::DggContainer,
                    R::Make(0, 0, R::Dgg, dgg) + R::Make(3, 3, R::Opt, opt) + R::Make(0, 4, R::SplitMenuColors, colours));
}

void TDrawingGroup::GrowAt(qsizetype recordAt, qsizetype insertAt, const QByteArray &bytes)
{
    // The group's container, then the record inside it.
    const TPlace place = Dgg();
    R::SetLength(FData, place.Container, place.Container.Length + bytes.size());
    if (recordAt != place.Container.At) {
        const R record = R::Read(FData, recordAt, FData.size());
        R::SetLength(FData, record, record.Length + bytes.size());
    }
    FData.insert(insertAt, bytes);
}

int TDrawingGroup::AddBlip(const QByteArray &picture)
{
    const bool png = picture.startsWith("\x89PNG\r\n\x1a\n");
    const bool jpeg = picture.startsWith("\xFF\xD8\xFF");
    if (!png && !jpeg)
        XlsRaise(QStringLiteral("The picture is neither PNG nor JPEG"));
    EnsureExists();
    const QByteArray uid = QCryptographicHash::hash(picture, QCryptographicHash::Md5);
    const QByteArray blip = R::Make(0, png ? PngInstance : JpegInstance, png ? R::BlipPng : R::BlipJpeg,
                                    uid + QByteArray(1, '\xFF') + picture);
    QByteArray bse(BseFixedSize, '\0');
    const int kind = png ? BlipPngKind : BlipJpegKind;
    bse[0] = char(kind);
    bse[1] = char(kind);
    bse.replace(2, 16, uid);
    WriteWord(bse, 18, 0xFF);
    WriteCardinal(bse, 20, quint32(blip.size()));
    WriteCardinal(bse, 24, 0);  // counted as shapes take it
    const QByteArray record = R::Make(2, kind, R::Bse, bse + blip);

    TPlace place = Dgg();
    R store = R::Child(FData, place.Container, R::BStoreContainer);
    if (store.Type == 0) {
        // The store follows the FDGG.
        GrowAt(place.Container.At, place.Dgg.End(), R::Make(0xF, 0, R::BStoreContainer, {}));
        store = R::Read(FData, place.Dgg.End(), FData.size());
    }
    // The store counts its pictures in the 12 bits of its instance.
    const int index = store.Instance + 1;
    if (index > 0xFFF)
        XlsRaise(QStringLiteral("Too many pictures in the workbook"));
    R::SetInstance(FData, store, index);
    GrowAt(store.At, store.End(), record);
    return index;
}

std::optional<R> TDrawingGroup::Bse(int index) const
{
    if (!Exists() || index < 1)
        return std::nullopt;
    const R store = R::Child(FData, Dgg().Container, R::BStoreContainer);
    if (store.Type == 0)
        return std::nullopt;
    const QList<R> entries = R::Children(FData, store);
    // A damaged file may point at an entry of another kind: it is left alone.
    if (index > entries.size() || entries[index - 1].Type != R::Bse || entries[index - 1].Length < BseFixedSize)
        return std::nullopt;
    return entries[index - 1];
}

QByteArray TDrawingGroup::Blip(int index) const
{
    const std::optional<R> bse = Bse(index);
    if (!bse || bse->Length < BseFixedSize + R::HeaderSize)
        return {};
    const R blip = R::Read(FData, bse->DataAt() + BseFixedSize, bse->End());
    if (blip.Type != R::BlipJpeg && blip.Type != R::BlipPng && blip.Type != 0xF01F)
        return {};
    const qsizetype skip = 16 * ((blip.Instance & 1) ? 2 : 1) + 1;
    return skip <= blip.Length ? FData.mid(blip.DataAt() + skip, blip.Length - skip) : QByteArray();
}

void TDrawingGroup::AddBlipReference(int index, int delta)
{
    if (const std::optional<R> bse = Bse(index)) {
        const qsizetype at = bse->DataAt() + 24;
        SetWord32(at, quint32(std::max<qint64>(0, qint64(Word32(at)) + delta)));
    }
}

quint32 TDrawingGroup::ClusterCount() const
{
    const R dgg = Dgg().Dgg;
    const quint32 clusters = std::max<quint32>(Word32(dgg.DataAt() + 4), 1) - 1;
    if (dgg.Length < 16 + qsizetype(clusters) * 8)
        XlsRaise(XlsMsg::FileInvalid);
    return clusters;
}

int TDrawingGroup::NewDrawing(int lowestId, quint32 &firstId)
{
    EnsureExists();
    const qsizetype at = Dgg().Dgg.DataAt();
    const quint32 clusters = ClusterCount();
    quint64 drawing = quint64(std::max(lowestId, 1));
    for (quint32 c = 0; c < clusters; ++c)
        drawing = std::max<quint64>(drawing, quint64(Word32(at + 16 + c * 8)) + 1);
    // A drawing's FDG holds its id in the 12 bits of its instance.
    if (drawing > MaxDrawingId)
        XlsRaise(QStringLiteral("Too many drawings in the workbook"));
    SetWord32(at + 12, Word32(at + 12) + 1);
    firstId = AddCluster(quint32(drawing));
    return int(drawing);
}

quint32 TDrawingGroup::AddCluster(quint32 drawing)
{
    const R dgg = Dgg().Dgg;
    const qsizetype at = dgg.DataAt();
    const quint32 clusters = ClusterCount();
    QByteArray cluster(8, '\0');
    WriteCardinal(cluster, 0, drawing);
    WriteCardinal(cluster, 4, 1);
    GrowAt(dgg.At, at + 16 + qsizetype(clusters) * 8, cluster);
    SetWord32(at + 4, clusters + 2);
    const quint32 firstId = (clusters + 1) * ShapesPerCluster;
    SetWord32(at + 8, Word32(at + 8) + 1);
    SetWord32(at, std::max(Word32(at), firstId + 1));
    return firstId;
}

quint32 TDrawingGroup::NextShapeId(quint32 lastId, int growDrawing)
{
    const quint32 id = lastId + 1;
    if (id % ShapesPerCluster == 0) {
        if (growDrawing <= 0)
            XlsRaise(QStringLiteral("Too many drawing objects on the sheet"));
        return AddCluster(quint32(growDrawing));
    }
    EnsureExists();
    const R dgg = Dgg().Dgg;
    const qsizetype at = dgg.DataAt();
    const quint32 cluster = id / ShapesPerCluster;
    const quint32 clusters = std::max<quint32>(Word32(at + 4), 1) - 1;
    if (cluster >= 1 && cluster <= clusters && at + 16 + cluster * 8 <= dgg.End()) {
        const qsizetype used = at + 16 + (cluster - 1) * 8 + 4;
        SetWord32(used, std::max(Word32(used), id % ShapesPerCluster + 1));
    }
    SetWord32(at + 8, Word32(at + 8) + 1);
    SetWord32(at, std::max(Word32(at), id + 1));
    return id;
}

void TDrawingGroup::Store()
{
    if (!Exists())
        return;
    int first = XlsDetail::FindRecord(FGlobals, TDrawingGroupRecord::Id);
    if (first >= 0) {
        FGlobals.DeleteRange(first, GroupRecordCount(FGlobals, first));
    } else {
        // Before the shared strings, where the group stands in a workbook.
        for (quint16 id : {XlsIds::SST, XlsIds::ExtSST, XlsIds::Eof})
            if ((first = XlsDetail::FindRecord(FGlobals, id)) >= 0)
                break;
        if (first < 0)
            first = FGlobals.Count();
    }
    FGlobals.Insert(first, XlsDetail::RecordWithContinues(TDrawingGroupRecord::Id, FData));
}
