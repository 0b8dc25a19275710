#pragma once

#include <QString>

namespace FileTree {

// Removes a file, or a folder with everything in it. A link is removed
// itself, never followed: a link planted under one of our names must not
// take the folder it points to with it. True when nothing is left there.
bool remove(const QString &path);

} // namespace FileTree
