#pragma once

#include "platform/io/DurableFile.h"

#include <QIODevice>

#include <exception>

// A write-only device over a DurableFile, for writers that want a QIODevice
// (QXmlStreamWriter). A failed write is kept and thrown by commit(), since an
// exception must not pass through the writer's own code.
class DurableDevice : public QIODevice
{
public:
    explicit DurableDevice(const QString &target);
    ~DurableDevice() override;

    // Throws the first failed write, else puts the file in place.
    void commit();
    // Throws the first failed write, if any.
    void rethrowFailure() const;
    // Throws the first failed write, else syncs the temporary file and hands
    // it over under its temporary name, still locked (for DurableFileSet).
    DurableFileSet::Pending finishAndRelease();
    // True once a write failed.
    bool failed() const { return bool(m_failure); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    DurableFile m_file;
    std::exception_ptr m_failure;
};
