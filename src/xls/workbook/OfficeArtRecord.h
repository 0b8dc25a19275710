#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The header of one record of the drawing format that MSODRAWINGGROUP and
// MSODRAWING carry:
//   0  u16  version (low 4 bits; 0xF for a container) and instance
//   2  u16  record type
//   4  u32  length of the data after the header
struct TOfficeArtRecord
{
    static constexpr quint16 DggContainer = 0xF000, BStoreContainer = 0xF001, DgContainer = 0xF002,
                             SpgrContainer = 0xF003, SpContainer = 0xF004, SolverContainer = 0xF005,
                             Dgg = 0xF006, Bse = 0xF007, Dg = 0xF008, Spgr = 0xF009, Sp = 0xF00A, Opt = 0xF00B,
                             ClientTextbox = 0xF00D, ClientAnchor = 0xF010, ClientData = 0xF011,
                             ConnectorRule = 0xF012, ArcRule = 0xF014, CalloutRule = 0xF017, BlipJpeg = 0xF01D,
                             BlipPng = 0xF01E, SplitMenuColors = 0xF11E;
    static constexpr int HeaderSize = 8;

    int Version = 0;
    int Instance = 0;
    quint16 Type = 0;
    qsizetype Length = 0;
    qsizetype At = 0;  // where the header stands

    qsizetype DataAt() const { return At + HeaderSize; }
    qsizetype End() const { return DataAt() + Length; }
    bool IsContainer() const { return Version == 0xF; }

    // The header at at; a record that runs past end is a damaged file.
    static TOfficeArtRecord Read(QByteArrayView data, qsizetype at, qsizetype end);
    // The records inside a container, in order.
    static QList<TOfficeArtRecord> Children(QByteArrayView data, const TOfficeArtRecord &container);
    // The first child of that type; Type 0 when there is none.
    static TOfficeArtRecord Child(QByteArrayView data, const TOfficeArtRecord &container, quint16 type);
    // A whole record: header and body.
    static QByteArray Make(int version, int instance, quint16 type, QByteArrayView body);
    // Rewrites the header's length and instance after the body changed size.
    static void SetLength(QByteArray &data, const TOfficeArtRecord &record, qsizetype length);
    static void SetInstance(QByteArray &data, const TOfficeArtRecord &record, int instance);
};
