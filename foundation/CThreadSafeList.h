#pragma once

// A first-in, first-out list of pointers under its own lock, shared between
// the main thread and workers. It holds the pointers only, never the objects.

#include "platform/Platform.h"

#include <algorithm>
#include <deque>
#include <mutex>

template <typename T> class CThreadSafeList {
public:
    void PushBack(T* item)
    {
        std::lock_guard lock(mMutex);
        mItems.push_back(item);
    }

    // Null when the list is empty.
    T* PopFront()
    {
        std::lock_guard lock(mMutex);
        if (mItems.empty())
            return nullptr;
        T* item = mItems.front();
        mItems.pop_front();
        return item;
    }

    // Removes every occurrence; answers whether there was one.
    bool Remove(T* item)
    {
        std::lock_guard lock(mMutex);
        auto end = std::remove(mItems.begin(), mItems.end(), item);
        bool found = end != mItems.end();
        mItems.erase(end, mItems.end());
        return found;
    }

    bool Contains(T* item) const
    {
        std::lock_guard lock(mMutex);
        return std::find(mItems.begin(), mItems.end(), item) != mItems.end();
    }

    std::size_t GetCount() const
    {
        std::lock_guard lock(mMutex);
        return mItems.size();
    }

    bool IsEmpty() const { return GetCount() == 0; }

    void Clear()
    {
        std::lock_guard lock(mMutex);
        mItems.clear();
    }

private:
    mutable std::mutex mMutex;
    std::deque<T*> mItems; // weak
};
