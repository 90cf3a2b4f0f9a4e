#pragma once

// Forward declarations of the foundation library's classes.

class CCFXMLTree;
class CClientHTTP;
class CCoordinate;
class CCoordinatePVT;
class CCoordinateRect;
class CDateTime;
class CDebugLog;
class CFArray;
class CFDictionary;
class CFile;
class CFileList;
class CFileMap;
class CFPropertyList;
class CIconRef;
class CMemBuffer;
class CMsgBroadcaster;
class CMsgListener;
class CMutex;
class CPreferences;
class CRect;
class CString;
class CStringList;
class CThreadTask;
class CTimerTask;
struct ColourRGBA;
struct SGBounds;
struct SGPoint;
