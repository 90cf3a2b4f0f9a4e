#include "app/CBasicDocument.h"

CString CBasicDocument::GetPropertyString(unsigned long id) const
{
    return id == 'dfex' ? CString("twk") : CDocument::GetPropertyString(id);
}

UInt32 CBasicDocument::GetPropertyInteger(unsigned long id) const
{
    return id == 'dfty' ? UInt32('TWck') : CDocument::GetPropertyInteger(id);
}
