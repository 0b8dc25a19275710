#pragma once

#include "xls/workbook/OfficeArtRecord.h"

#include <QByteArray>

#include <optional>

class TBaseRecordList;

// The workbook's drawing group: the MSODRAWINGGROUP record (with its
// CONTINUE records) in the globals. It holds the picture store, one BSE per
// picture, and the table that shares shape ids out among the sheets'
// drawings (FDGG):
//   0  u32  highest shape id + 1    4  u32  clusters + 1
//   8  u32  shapes saved           12  u32  drawings saved
//  16  per cluster: u32 drawing id, u32 ids used in the cluster
// A cluster holds the 1024 shape ids from its number (from 1) times 1024.
class TDrawingGroup
{
public:
    explicit TDrawingGroup(TBaseRecordList &globals);

    bool Exists() const { return !FData.isEmpty(); }
    // Starts an empty group when the workbook has none.
    void EnsureExists();

    // Stores a PNG or JPEG picture; returns its 1-based store index. Other
    // data raises.
    int AddBlip(const QByteArray &picture);
    // The PNG, JPEG or bitmap bytes of a stored picture; empty for a
    // metafile or an index the store does not have.
    QByteArray Blip(int index) const;
    // Counts one more (or one fewer) shape showing the stored picture.
    void AddBlipReference(int index, int delta);

    // A new drawing (a sheet's) with its own cluster; returns the drawing id
    // and, in firstId, its first shape id (for the sheet's group shape).
    int NewDrawing(int lowestId, quint32 &firstId);
    // The shape id after lastId, counted as used. At the end of lastId's
    // cluster, a new cluster is opened for growDrawing; without one (0), the
    // sheet has no room left.
    quint32 NextShapeId(quint32 lastId, int growDrawing = 0);

    // Writes the group back into the globals.
    void Store();

private:
    struct TPlace;
    TPlace Dgg() const;
    // Entry index (from 1) of the picture store, a BSE long enough for one;
    // none for an index the store does not have or an entry of another kind.
    std::optional<TOfficeArtRecord> Bse(int index) const;
    quint32 ClusterCount() const;
    // A new cluster of the drawing; returns its first shape id, counted as used.
    quint32 AddCluster(quint32 drawing);
    void SetWord32(qsizetype at, quint32 value);
    quint32 Word32(qsizetype at) const;
    // Grows the record at at by body bytes inserted at its end, and each
    // container holding it.
    void GrowAt(qsizetype recordAt, qsizetype insertAt, const QByteArray &bytes);

    TBaseRecordList &FGlobals;
    QByteArray FData;
};
