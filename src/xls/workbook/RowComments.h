#pragma once

#include <QList>

#include <memory>
#include <vector>

// The comments anchored in one row: the row (1-based) and the comments'
// indexes in the order they were added.
class TCommentRowPos
{
public:
    explicit TCommentRowPos(int row = 0) : Row(row) {}
    int Row;
    QList<int> Comments;
};

// An index from a row to the comments of a sheet anchored in it, kept
// sorted by row.
class TRowComments
{
public:
    TRowComments() = default;
    TRowComments(const TRowComments &) = delete;
    TRowComments &operator=(const TRowComments &) = delete;

    void Add(int row, int commentIndex);
    // The row's entry, or a shared empty one for a row without comments.
    const TCommentRowPos &operator[](int row) const;
    // Whether the row has an entry; index is where it stands or would go.
    bool Find(int row, int &index) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    const TCommentRowPos &Items(int index) const { return *FItems.at(static_cast<size_t>(index)); }

private:
    std::vector<std::unique_ptr<TCommentRowPos>> FItems;
    TCommentRowPos FEmpty;
};
