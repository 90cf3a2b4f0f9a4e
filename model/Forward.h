#pragma once

// Forward declarations of the map object library's classes.

class CDocumentInfo;
class CMapCircle;
class CMapCrop;
class CMapLine;
class CMapNote;
class CMapObject;
class CMapRectangle;
class CMapRoute;
class CMapShape;
class CMapTrack;
class CMapWaypoint;
class CParserFile;
class CParserGPX;
class CParserLoc;
class IRoadRouter;
struct MapObjectStyle;
struct RouteSegment;
