#include "foundation/CStringList.h"

CString const& CStringList::GetAt(std::size_t index) const
{
    static CString const sEmpty;
    return index < size() ? (*this)[index] : sEmpty;
}
