#pragma once

#include "xls/storage/ExcelException.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

enum class TListNotification { Added, Deleted };

// The owning object list: deleting, replacing or clearing an item frees it.
// Items may be empty (null). Derived lists hear of every item entering or
// leaving through Notify, at the moment of the change.
template <class T>
class TBaseList
{
public:
    TBaseList() = default;
    virtual ~TBaseList() = default;
    TBaseList(const TBaseList &) = delete;
    TBaseList &operator=(const TBaseList &) = delete;
    TBaseList(TBaseList &&) = default;
    TBaseList &operator=(TBaseList &&) = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Room for count items, so adding them one by one does not regrow the list.
    void Reserve(int count) { FItems.reserve(static_cast<size_t>(std::max(count, 0))); }
    T *Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    // Unchecked, for lookups that already hold an index in range (cell reads
    // go through them hundreds of thousands of times).
    T *ItemAt(int index) const { return FItems[static_cast<size_t>(index)].get(); }
    T *operator[](int index) const { return Items(index); }

    int Add(std::unique_ptr<T> item)
    {
        FItems.push_back(std::move(item));
        Notify(FItems.back().get(), TListNotification::Added);
        return Count() - 1;
    }

    void Insert(int index, std::unique_ptr<T> item)
    {
        CheckIndex(index, Count());
        auto it = FItems.insert(FItems.begin() + index, std::move(item));
        Notify(it->get(), TListNotification::Added);
    }

    void Delete(int index)
    {
        CheckIndex(index, Count() - 1);
        Notify(FItems[static_cast<size_t>(index)].get(), TListNotification::Deleted);
        FItems.erase(FItems.begin() + index);
    }

    // Frees count items from index on, cut at the end of the list.
    void DeleteRange(int index, int count)
    {
        CheckIndex(index, Count());
        const int end = index + qMin(count, Count() - index);
        for (int i = index; i < end; ++i)
            Notify(FItems[static_cast<size_t>(i)].get(), TListNotification::Deleted);
        FItems.erase(FItems.begin() + index, FItems.begin() + end);
    }

    // Inserts a block of items at index in one move.
    void InsertRange(int index, std::vector<std::unique_ptr<T>> items)
    {
        CheckIndex(index, Count());
        FItems.insert(FItems.begin() + index, std::make_move_iterator(items.begin()),
                      std::make_move_iterator(items.end()));
        for (size_t i = 0; i < items.size(); ++i)
            Notify(FItems[static_cast<size_t>(index) + i].get(), TListNotification::Added);
    }

    // Puts item in place of the one at index, which is freed.
    void SetItem(int index, std::unique_ptr<T> item)
    {
        CheckIndex(index, Count() - 1);
        auto &slot = FItems[static_cast<size_t>(index)];
        Notify(slot.get(), TListNotification::Deleted);
        slot = std::move(item);
        Notify(slot.get(), TListNotification::Added);
    }

    void Clear()
    {
        for (auto &item : FItems)
            Notify(item.get(), TListNotification::Deleted);
        FItems.clear();
    }

protected:
    // Called with null for empty items too.
    virtual void Notify(T *item, TListNotification action)
    {
        Q_UNUSED(item);
        Q_UNUSED(action);
    }

    template <class Less>
    void StableSort(Less less)
    {
        std::stable_sort(FItems.begin(), FItems.end(),
                         [&](const std::unique_ptr<T> &a, const std::unique_ptr<T> &b) {
                             return less(a.get(), b.get());
                         });
    }

private:
    static void CheckIndex(int index, int last)
    {
        if (index < 0 || index > last)
            throw EExcelException(QStringLiteral("List index out of bounds (%1)").arg(index));
    }

    std::vector<std::unique_ptr<T>> FItems;
};
