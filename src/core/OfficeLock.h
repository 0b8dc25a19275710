#pragma once

#include <QFileInfo>

// The office's word processor and spreadsheet mark a document they hold open
// with a lock file beside it, ".~lock.<name>#", removed when the document is
// closed. Here a file open elsewhere can still be deleted, so the lock is what
// tells that a clerk is still working in it.
namespace OfficeLock {

// True for a document with its lock beside it, and for the lock of a document
// that still exists.
bool heldOpen(const QFileInfo &file);

} // namespace OfficeLock
