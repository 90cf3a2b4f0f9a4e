#pragma once

// A two-dimensional array of which only the stored cells take memory, keyed by
// column and row, with its column and row counts. The map view keeps its tile
// grid in one: the deepest level has 131,072 columns, of which a view shows a
// handful. Stores values, owns nothing they point to. One thread at a time.

#include "platform/Platform.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

template <typename T> class CSparseArray {
public:
    CSparseArray() = default;
    CSparseArray(UInt32 columns, UInt32 rows)
        : mColumns(columns)
        , mRows(rows)
    {
    }

    UInt32 GetColumnCount() const { return mColumns; }
    UInt32 GetRowCount() const { return mRows; }
    // Empties the array and gives it a new size.
    void SetSize(UInt32 columns, UInt32 rows)
    {
        mValues.clear();
        mColumns = columns;
        mRows = rows;
    }

    bool HasValue(UInt32 column, UInt32 row) const { return mValues.contains(Key(column, row)); }
    // The stored value, or a value-initialised T when the cell is empty.
    T GetValue(UInt32 column, UInt32 row) const
    {
        auto found = mValues.find(Key(column, row));
        return found == mValues.end() ? T {} : found->second;
    }
    // False, storing nothing, for a cell outside the array.
    bool SetValue(UInt32 column, UInt32 row, T const& value)
    {
        if (column >= mColumns || row >= mRows)
            return false;
        mValues[Key(column, row)] = value;
        return true;
    }
    void RemoveValue(UInt32 column, UInt32 row) { mValues.erase(Key(column, row)); }
    void RemoveAll() { mValues.clear(); }
    std::size_t GetCount() const { return mValues.size(); }

    // Every stored value, row by row from the top, left to right in each row.
    std::vector<T> GetValues() const
    {
        std::vector<std::pair<UInt64, T>> cells(mValues.begin(), mValues.end());
        std::sort(cells.begin(), cells.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
        std::vector<T> values;
        values.reserve(cells.size());
        for (auto const& cell : cells)
            values.push_back(cell.second);
        return values;
    }

private:
    static UInt64 Key(UInt32 column, UInt32 row) { return (UInt64(row) << 32) | column; }

    UInt32 mColumns = 0;
    UInt32 mRows = 0;
    std::unordered_map<UInt64, T> mValues;
};
