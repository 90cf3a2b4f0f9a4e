#include "docwindow/CCanvasNote.h"

#include "foundation/CFileUtilities.h"
#include "model/CMapNote.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"

namespace {

// Read once for the process: every note and every preview shows the same picture.
CGImageRef GetNotePicture()
{
    static CGImageRef const sPicture = [] {
        CFile const file = CFileUtilities::GetBundleResource("MapNote.png", "", "");
        return CCoreGraphicsUtilities::LoadImage(file, CGSizeZero);
    }();
    return sPicture;
}

} // namespace

CCanvasNote::CCanvasNote()
    : CCanvasMapObject(kBoundsNotifyCentre, kAttributeResizable)
    , mImage(CGImageRetain(GetNotePicture()))
{
}

CCanvasNote::~CCanvasNote() { CGImageRelease(mImage); }

bool CCanvasNote::IsVisible() const { return CCanvasMapObject::IsVisible() && !CGraphicsUtilities::IsEmpty(mSymbolRect); }

void CCanvasNote::Draw(CGContextRef context)
{
    if (CGraphicsUtilities::IsEmpty(mSymbolRect))
        return;
    if (IsSelected())
        DrawSelection(context, mSymbolRect);
    if (mImage)
        CGContextDrawImage(context, CGRectInset(mSymbolRect, 1, 1), mImage);
}

// A note tries the large picture at every level, then the small one.
void CCanvasNote::ReserveFootprint()
{
    SetSymbol(kSymbolSizeSmall, CGRectZero);
    for (SymbolSize const size : { kSymbolSizeLarge, kSymbolSizeSmall }) {
        CGRect const rect = GetSymbolRect(size);
        if (AddFootprint(rect)) {
            SetSymbol(size, rect);
            break;
        }
    }
}

void CCanvasNote::PlaceSymbol(SymbolSize size) { SetSymbol(size, GetSymbolRect(size)); }

void CCanvasNote::SetSymbol(SymbolSize size, CGRect const& rect)
{
    mSymbolSize = size;
    mSymbolRect = rect;
    SetBounds(rect);
}

void CCanvasNote::CentreModified(CCoordinate const& centre)
{
    if (auto* note = static_cast<CMapNote*>(GetObject()))
        note->SetPosition(centre);
}

// The footprint pass settles the place before the next drawing; until then the note keeps
// its size at the new position, so that the area to redraw is known.
void CCanvasNote::ObjectModified()
{
    auto const* note = static_cast<CMapNote const*>(GetObject());
    if (!note)
        return;
    mPosition = Project(note->GetPosition());
    if (!CGraphicsUtilities::IsEmpty(mSymbolRect))
        PlaceSymbol(mSymbolSize);
}

CGRect CCanvasNote::GetSymbolRect(SymbolSize size) const
{
    double const half = double(size) / 2 + 1;
    return CGRectMake(mPosition.x - half, mPosition.y - half, 2 * half, 2 * half);
}
