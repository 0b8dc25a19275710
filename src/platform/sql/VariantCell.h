#pragma once

#include <QMetaType>
#include <QVariant>

// A dataset's cell looked at without the library's out-of-line type lookups:
// reading a table goes through these for every field of every row.
namespace VariantCell {

inline const QtPrivate::QMetaTypeInterface *typeOf(const QVariant &v) { return v.data_ptr().typeInterface(); }

template <typename T>
bool holds(const QVariant &v)
{
    return typeOf(v) == QMetaType::fromType<T>().iface();
}

// As QVariant::isNull(): no value, a value made null, or a null pointer.
inline bool isNull(const QVariant &v)
{
    const QtPrivate::QMetaTypeInterface *type = typeOf(v);
    if (!type || v.data_ptr().is_null)
        return true;
    return (type->flags & QMetaType::IsPointer) && v.isNull();
}

// The value of a cell that holds a T.
template <typename T>
const T &get(const QVariant &v)
{
    return *static_cast<const T *>(v.constData());
}

// The cell's own T to write into; the cell is made a T first when it holds
// anything else (or shares its value).
template <typename T>
Q_ALWAYS_INLINE T &held(QVariant &cell)
{
    if (!holds<T>(cell) || cell.data_ptr().is_shared || cell.data_ptr().is_null) [[unlikely]]
        cell = QVariant::fromValue(T());
    return *const_cast<T *>(static_cast<const T *>(cell.constData()));
}

} // namespace VariantCell
