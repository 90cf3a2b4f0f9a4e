#include "app/CDocumentShell.h"

#include "app/CBrowserMapObject.h"
#include "app/DeviceSheetSupport.h"
#include "app/CSheetDocumentInfo.h"
#include "app/CSheetNote.h"
#include "app/CSheetRoute.h"
#include "app/CSheetTrack.h"
#include "app/CSheetViewLocation.h"
#include "app/CSheetWaypoint.h"
#include "app/CWindowObjectPalette.h"
#include "app/windows/CWindowDevice.h"
#include "app/windows/CWindowFind.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"

namespace {

constexpr char const* kShellNibFile = "Tarnwick";

template <typename Sheet> Sheet* MakeShellSheet()
{
    return ConstructController<Sheet>(kShellNibFile, Sheet::kNibWindow, false);
}

} // namespace

CWindowController* CDocumentShell::MakeSheet(UInt32 kind, CWindowDocument& document, CMapObject* object)
{
    switch (kind) {
    case CWindowDocument::kSheetDocumentInfo:
        if (auto* sheet = MakeShellSheet<CSheetDocumentInfo>()) {
            sheet->SetContent(document.GetDocumentInfo());
            sheet->SetDocument(&document);
            return sheet;
        }
        return nullptr;
    case CWindowDocument::kSheetNote:
        if (auto* sheet = MakeShellSheet<CSheetNote>()) {
            sheet->SetObject(object);
            return sheet;
        }
        return nullptr;
    case CWindowDocument::kSheetRoute:
        if (auto* sheet = MakeShellSheet<CSheetRoute>()) {
            sheet->SetDocument(&document);
            sheet->SetObject(object);
            return sheet;
        }
        return nullptr;
    case CWindowDocument::kSheetTrack:
        if (auto* sheet = MakeShellSheet<CSheetTrack>()) {
            sheet->SetObject(object);
            return sheet;
        }
        return nullptr;
    case CWindowDocument::kSheetWaypoint:
        if (auto* sheet = MakeShellSheet<CSheetWaypoint>()) {
            sheet->SetObject(object);
            return sheet;
        }
        return nullptr;
    case CWindowDocument::kSheetViewLocation: {
        CViewMap* view = document.GetMapView();
        if (!view)
            return nullptr;
        // The place the map shows now, at its level.
        auto* sheet = MakeShellSheet<CSheetViewLocation>();
        if (sheet)
            sheet->SetMapView(view, view->GetMapCentre(), view->GetMapZoom());
        return sheet;
    }
    default:
        // The receiver sheets: recording a track and synchronising, and their progress.
        return DeviceSheetSupport::MakeDocumentSheet(kind, document);
    }
}

CDataBrowserSource* CDocumentShell::MakeListSource(UInt32 segment, CWindowDocument& document)
{
    CBrowserMapObject* list = nullptr;
    switch (segment) {
    case CWindowDocument::kListWaypoints:
        list = new CBrowserWaypoints();
        break;
    case CWindowDocument::kListRoutes:
        list = new CBrowserRoutes();
        break;
    case CWindowDocument::kListTracks:
        list = new CBrowserTracks();
        break;
    default:
        return nullptr;
    }
    list->SetDocument(&document);
    return list;
}

// The inspector already follows the current document; this only brings it into view.
void CDocumentShell::ShowInspector(CWindowDocument&)
{
    if (CWindowInspector* inspector = CWindowInspector::GetInstance())
        inspector->GetWindow()->Select(true);
}

void CDocumentShell::ShowDeviceWindow(CDevice* device) { CWindowDevice::Show(device); }

void CDocumentShell::FindLocation(CWindowDocument& document)
{
    CWindowFind* find = CWindowFind::GetInstance();
    if (!find) {
        CApplication::Beep(); // the window could not be made from the nib
        return;
    }
    find->FindLocation(&document);
}
