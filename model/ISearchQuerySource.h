#pragma once

// Where a search worker reads its query: the find window implements it (model never
// includes it), and the worker calls GetQuery on its own thread whenever it runs, so
// the window changes its query only while the worker is stopped.

#include "model/SearchQuery.h"

class ISearchQuerySource {
public:
    virtual ~ISearchQuerySource() = default;

    virtual SearchQuery GetQuery() const = 0;
};
