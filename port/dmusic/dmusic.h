// DirectMusic (DirectX 6.1) as the program uses it: the same names, parameter
// orders and types as the SDK's dmusici.h, dmusicc.h and dmerror.h, so one
// program source compiles against either. Interfaces carry only the methods the
// program calls; every one of them is pure, so a stand-in must supply them all.
//
// DMUS_OBJECTDESC and the message structures hold pointers, so they are larger
// here than on 32-bit Windows; the loader accepts the 32-bit size (848) as well
// as sizeof.
#pragma once

#include "win32/win32.h"

// ---------------------------------------------------------------------------
// Results

#define PORT_DMUS_ERROR(code) ((HRESULT)(0x88780000u | (0x1000 + (code))))
#define DMUS_E_DRIVER_FAILED PORT_DMUS_ERROR(0x0101)
#define DMUS_E_NOTADLSCOL PORT_DMUS_ERROR(0x0108)
#define DMUS_E_SET_UNSUPPORTED PORT_DMUS_ERROR(0x0123)
#define DMUS_E_UNSUPPORTED_STREAM PORT_DMUS_ERROR(0x0150)
#define DMUS_E_ALREADY_INITED PORT_DMUS_ERROR(0x0151)
#define DMUS_E_NOT_INIT PORT_DMUS_ERROR(0x0162)
#define DMUS_E_LOADER_NOCLASSID PORT_DMUS_ERROR(0x0180)
#define DMUS_E_LOADER_FAILEDOPEN PORT_DMUS_ERROR(0x0182)
#define DMUS_E_CANNOT_FREE PORT_DMUS_ERROR(0x0205)

// ---------------------------------------------------------------------------
// Class, interface and parameter identities (port/guids/dmusic_guids.cpp)

extern const CLSID CLSID_DirectMusicPerformance;
extern const CLSID CLSID_DirectMusicLoader;
extern const CLSID CLSID_DirectMusicSegment;
extern const CLSID CLSID_DirectMusicCollection;
extern const IID IID_IDirectMusicPerformance;
extern const IID IID_IDirectMusicLoader;
extern const IID IID_IDirectMusicSegment;
extern const IID IID_IDirectMusicCollection;
extern const GUID GUID_DirectMusicAllTypes;
extern const GUID GUID_NOTIFICATION_PERFORMANCE;
extern const GUID GUID_ConnectToDLSCollection;
extern const GUID GUID_StandardMIDIFile;
extern const GUID GUID_Download;
extern const GUID GUID_Unload;

// ---------------------------------------------------------------------------
// Types and constants

typedef LONGLONG REFERENCE_TIME;  // 100 ns units
typedef REFERENCE_TIME* LPREFERENCE_TIME;
typedef LONG MUSIC_TIME;  // ticks of 768 per quarter note
typedef MUSIC_TIME* LPMUSIC_TIME;

#define DMUS_MAX_NAME 64
#define DMUS_MAX_CATEGORY 64
#define DMUS_MAX_FILENAME 260

// DMUS_OBJECTDESC.dwValidData
#define DMUS_OBJ_CLASS 0x002
#define DMUS_OBJ_FILENAME 0x010
#define DMUS_OBJ_MEMORY 0x400

// DMUS_NOTIFICATION_PMSG.dwNotificationOption for GUID_NOTIFICATION_PERFORMANCE
#define DMUS_NOTIFICATION_MUSICSTARTED 0x0
#define DMUS_NOTIFICATION_MUSICSTOPPED 0x1

// DMUS_PMSG.dwFlags
enum enumDMUS_PMSGF_FLAGS {
  DMUS_PMSGF_REFTIME = 1,
  DMUS_PMSGF_MUSICTIME = 2,
  DMUS_PMSGF_TOOL_IMMEDIATE = 4,
  DMUS_PMSGF_TOOL_QUEUE = 8,
  DMUS_PMSGF_TOOL_ATTIME = 16,
  DMUS_PMSGF_TOOL_FLUSH = 32,
};
// DMUS_PMSG.dwType (only the one the port sends)
#define DMUS_PMSGT_NOTIFICATION 0x03

// PlaySegment flags (0: a primary segment, at once)
enum enumDMUS_SEGF_FLAGS {
  DMUS_SEGF_REFTIME = 0x000040,
  DMUS_SEGF_SECONDARY = 0x000080,
  DMUS_SEGF_QUEUE = 0x000100,
  DMUS_SEGF_CONTROL = 0x000200,
  DMUS_SEGF_AFTERPREPARETIME = 0x000400,
  DMUS_SEGF_GRID = 0x000800,
  DMUS_SEGF_BEAT = 0x001000,
  DMUS_SEGF_MEASURE = 0x002000,
  DMUS_SEGF_DEFAULT = 0x004000,
  DMUS_SEGF_NOINVALIDATE = 0x008000,
};

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct DMUS_VERSION {
  DWORD dwVersionMS;
  DWORD dwVersionLS;
};

struct IStream;
struct IDirectMusic;
struct IDirectSound;
typedef IDirectSound* LPDIRECTSOUND;
struct IDirectMusicPort;
struct IDirectMusicSegmentState;
struct IDirectMusicTool;
struct IDirectMusicGraph;

// How the loader is told where an object's data is. The program loads from
// memory only: dwValidData DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY with guidClass,
// pbMemData and llMemLength.
struct DMUS_OBJECTDESC {
  DWORD dwSize;
  DWORD dwValidData;
  GUID guidObject;
  GUID guidClass;
  FILETIME ftDate;
  DMUS_VERSION vVersion;
  WCHAR wszName[DMUS_MAX_NAME];
  WCHAR wszCategory[DMUS_MAX_CATEGORY];
  WCHAR wszFileName[DMUS_MAX_FILENAME];
  LONGLONG llMemLength;
  LPBYTE pbMemData;
  IStream* pStream;
};
typedef DMUS_OBJECTDESC* LPDMUS_OBJECTDESC;

// The fields every performance message starts with.
#define DMUS_PMSG_PART       \
  DWORD dwSize;              \
  REFERENCE_TIME rtTime;     \
  MUSIC_TIME mtTime;         \
  DWORD dwFlags;             \
  DWORD dwPChannel;          \
  DWORD dwVirtualTrackID;    \
  IDirectMusicTool* pTool;   \
  IDirectMusicGraph* pGraph; \
  DWORD dwType;              \
  DWORD dwVoiceID;           \
  DWORD dwGroupID;           \
  IUnknown* punkUser;

struct DMUS_PMSG {
  DMUS_PMSG_PART
};

// Not derived from DMUS_PMSG, as in the SDK: FreePMsg takes it by a cast.
struct DMUS_NOTIFICATION_PMSG {
  DMUS_PMSG_PART
  GUID guidNotificationType;
  DWORD dwNotificationOption;
  DWORD dwField1;
  DWORD dwField2;
};

// ---------------------------------------------------------------------------
// Interfaces

struct IDirectMusicSegment;

struct IDirectMusicPerformance : IUnknown {
  virtual HRESULT Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound, HWND window) = 0;
  virtual HRESULT PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG startTime,
                              IDirectMusicSegmentState** segmentState) = 0;
  virtual HRESULT Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* segmentState, MUSIC_TIME time,
                       DWORD flags) = 0;
  virtual HRESULT FreePMsg(DMUS_PMSG* message) = 0;
  virtual HRESULT GetNotificationPMsg(DMUS_NOTIFICATION_PMSG** message) = 0;
  virtual HRESULT AddNotificationType(REFGUID notificationType) = 0;
  virtual HRESULT AddPort(IDirectMusicPort* port) = 0;
  virtual HRESULT CloseDown() = 0;
};

struct IDirectMusicLoader : IUnknown {
  virtual HRESULT GetObject(LPDMUS_OBJECTDESC description, REFIID iid, LPVOID* object) = 0;
  virtual HRESULT SetSearchDirectory(REFGUID objectClass, WCHAR* path, BOOL clearCache) = 0;
};

struct IDirectMusicSegment : IUnknown {
  virtual HRESULT SetParam(REFGUID type, DWORD groupBits, DWORD index, MUSIC_TIME time, void* param) = 0;
};

struct IDirectMusicCollection : IUnknown {};
