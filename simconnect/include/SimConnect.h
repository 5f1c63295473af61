/* SimConnect: the simulator's client interface, as far as Orvante uses it.
 *
 * The names, numbers and message layouts are SimConnect's published ones, so
 * a module written against them builds unchanged against the simulator
 * maker's library. Underneath, this client talks to a simulator that runs in
 * the same process (the stand-in simulator, or a host in a test), found
 * through a process-wide server registry (simconnect_server.h). Every
 * operation returns an HRESULT: S_OK, or E_FAIL / E_INVALIDARG.
 *
 * Messages reach the client through its dispatch procedure, always on the
 * simulator's thread: SimConnect_CallDispatch installs the procedure for all
 * later messages, as SimConnect does for a client inside the simulator. */
#ifndef SIMCONNECT_SIMCONNECT_H
#define SIMCONNECT_SIMCONNECT_H

#include <stdint.h>

#if defined(_WIN32)
/* As the simulator maker's header declares them: C names, __stdcall (one
 * convention on x64), Windows' own types. The DLL exports them; a client
 * links its import library. */
#include <windows.h>
#ifdef SIMCONNECT_BUILDING_DLL
#define SIMCONNECTAPI extern "C" __declspec(dllexport) HRESULT __stdcall
#else
#define SIMCONNECTAPI extern "C" HRESULT __stdcall
#endif
#else
#define SIMCONNECTAPI extern "C" __attribute__((visibility("default"))) HRESULT
#ifndef CALLBACK
#define CALLBACK
#endif
#endif

#ifndef _WIN32
typedef int32_t HRESULT;
typedef uint32_t DWORD;
typedef void* HANDLE;
typedef void* HWND;
typedef uint8_t BYTE;
#ifndef MAX_PATH
#define MAX_PATH 260
#endif
#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057)
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif
#endif

typedef DWORD SIMCONNECT_OBJECT_ID;
typedef DWORD SIMCONNECT_CLIENT_EVENT_ID;
typedef DWORD SIMCONNECT_NOTIFICATION_GROUP_ID;
typedef DWORD SIMCONNECT_DATA_DEFINITION_ID;
typedef DWORD SIMCONNECT_DATA_REQUEST_ID;
typedef DWORD SIMCONNECT_DATA_REQUEST_FLAG;

#define SIMCONNECT_UNUSED ((DWORD)0xFFFFFFFF)
#define SIMCONNECT_OBJECT_ID_USER ((DWORD)0)
#define SIMCONNECT_OPEN_CONFIGINDEX_LOCAL ((DWORD)-1)
#define SIMCONNECT_GROUP_PRIORITY_HIGHEST ((DWORD)1)
#define SIMCONNECT_GROUP_PRIORITY_STANDARD ((DWORD)1900000000)
#define SIMCONNECT_GROUP_PRIORITY_LOWEST ((DWORD)4000000000u)

typedef enum {
  SIMCONNECT_RECV_ID_NULL = 0,
  SIMCONNECT_RECV_ID_EXCEPTION = 1,
  SIMCONNECT_RECV_ID_OPEN = 2,
  SIMCONNECT_RECV_ID_QUIT = 3,
  SIMCONNECT_RECV_ID_EVENT = 4,
  SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE = 5,
  SIMCONNECT_RECV_ID_EVENT_FILENAME = 6,
  SIMCONNECT_RECV_ID_EVENT_FRAME = 7,
  SIMCONNECT_RECV_ID_SIMOBJECT_DATA = 8,
  SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE = 9,
  SIMCONNECT_RECV_ID_SYSTEM_STATE = 15
} SIMCONNECT_RECV_ID;

typedef enum {
  SIMCONNECT_DATATYPE_INVALID = 0,
  SIMCONNECT_DATATYPE_INT32 = 1,
  SIMCONNECT_DATATYPE_INT64 = 2,
  SIMCONNECT_DATATYPE_FLOAT32 = 3,
  SIMCONNECT_DATATYPE_FLOAT64 = 4,
  SIMCONNECT_DATATYPE_STRING8 = 5,
  SIMCONNECT_DATATYPE_STRING32 = 6,
  SIMCONNECT_DATATYPE_STRING64 = 7,
  SIMCONNECT_DATATYPE_STRING128 = 8,
  SIMCONNECT_DATATYPE_STRING256 = 9,
  SIMCONNECT_DATATYPE_STRING260 = 10,
  SIMCONNECT_DATATYPE_STRINGV = 11,
  SIMCONNECT_DATATYPE_INITPOSITION = 12,
  SIMCONNECT_DATATYPE_MARKERSTATE = 13,
  SIMCONNECT_DATATYPE_WAYPOINT = 14,
  SIMCONNECT_DATATYPE_LATLONALT = 15,
  SIMCONNECT_DATATYPE_XYZ = 16
} SIMCONNECT_DATATYPE;

typedef enum {
  SIMCONNECT_PERIOD_NEVER = 0,
  SIMCONNECT_PERIOD_ONCE = 1,
  SIMCONNECT_PERIOD_VISUAL_FRAME = 2,
  SIMCONNECT_PERIOD_SIM_FRAME = 3,
  SIMCONNECT_PERIOD_SECOND = 4
} SIMCONNECT_PERIOD;

typedef enum {
  SIMCONNECT_TEXT_TYPE_SCROLL_BLACK = 0,
  SIMCONNECT_TEXT_TYPE_PRINT_BLACK = 0x100,
  SIMCONNECT_TEXT_TYPE_PRINT_WHITE = 0x101,
  SIMCONNECT_TEXT_TYPE_PRINT_RED = 0x102
} SIMCONNECT_TEXT_TYPE;

typedef enum {
  SIMCONNECT_EXCEPTION_NONE = 0,
  SIMCONNECT_EXCEPTION_ERROR = 1,
  SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID = 3,
  SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED = 7,
  SIMCONNECT_EXCEPTION_OUT_OF_BOUNDS = 9,
  SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE = 13,
  SIMCONNECT_EXCEPTION_INVALID_OBJECT_ID = 20
} SIMCONNECT_EXCEPTION;

/* Every message starts with this header. */
typedef struct SIMCONNECT_RECV {
  DWORD dwSize; /* bytes of the whole message */
  DWORD dwVersion;
  DWORD dwID; /* SIMCONNECT_RECV_ID */
} SIMCONNECT_RECV;

typedef struct SIMCONNECT_RECV_EXCEPTION {
  SIMCONNECT_RECV header;
  DWORD dwException; /* SIMCONNECT_EXCEPTION */
  DWORD dwSendID;
  DWORD dwIndex;
} SIMCONNECT_RECV_EXCEPTION;

typedef struct SIMCONNECT_RECV_OPEN {
  SIMCONNECT_RECV header;
  char szApplicationName[256];
  DWORD dwApplicationVersionMajor;
  DWORD dwApplicationVersionMinor;
  DWORD dwApplicationBuildMajor;
  DWORD dwApplicationBuildMinor;
  DWORD dwSimConnectVersionMajor;
  DWORD dwSimConnectVersionMinor;
  DWORD dwSimConnectBuildMajor;
  DWORD dwSimConnectBuildMinor;
  DWORD dwReserved1;
  DWORD dwReserved2;
} SIMCONNECT_RECV_OPEN;

typedef struct SIMCONNECT_RECV_EVENT {
  SIMCONNECT_RECV header;
  DWORD uGroupID; /* SIMCONNECT_UNUSED when the event belongs to no group */
  DWORD uEventID;
  DWORD dwData;
} SIMCONNECT_RECV_EVENT;

typedef struct SIMCONNECT_RECV_EVENT_FILENAME {
  SIMCONNECT_RECV_EVENT event;
  char szFileName[MAX_PATH];
  DWORD dwFlags;
} SIMCONNECT_RECV_EVENT_FILENAME;

typedef struct SIMCONNECT_RECV_EVENT_FRAME {
  SIMCONNECT_RECV_EVENT event;
  float fFrameRate;
  float fSimSpeed;
} SIMCONNECT_RECV_EVENT_FRAME;

/* The data of one definition follows at dwData; the message is as long as it
 * needs to be (dwSize). */
typedef struct SIMCONNECT_RECV_SIMOBJECT_DATA {
  SIMCONNECT_RECV header;
  DWORD dwRequestID;
  DWORD dwObjectID;
  DWORD dwDefineID;
  DWORD dwFlags;
  DWORD dwentrynumber;
  DWORD dwoutof;
  DWORD dwDefineCount;
  DWORD dwData;
} SIMCONNECT_RECV_SIMOBJECT_DATA;

typedef struct SIMCONNECT_RECV_SYSTEM_STATE {
  SIMCONNECT_RECV header;
  DWORD dwRequestID;
  DWORD dwInteger;
  float fFloat;
  char szString[MAX_PATH];
} SIMCONNECT_RECV_SYSTEM_STATE;

typedef struct SIMCONNECT_DATA_XYZ {
  double x;
  double y;
  double z;
} SIMCONNECT_DATA_XYZ;

typedef void(CALLBACK* DispatchProc)(SIMCONNECT_RECV* pData, DWORD cbData, void* pContext);

/* Opens a connection under the client's name. configIndex selects the section
 * of SimConnect.cfg (in the simulator's folder) that says where the simulator
 * is; SIMCONNECT_OPEN_CONFIGINDEX_LOCAL ignores the file and connects to the
 * simulator of this machine. Fails when no simulator serves. */
SIMCONNECTAPI SimConnect_Open(HANDLE* phSimConnect, const char* szName, HWND hWnd, DWORD UserEventWin32,
                              HANDLE hEventHandle, DWORD ConfigIndex);
SIMCONNECTAPI SimConnect_Close(HANDLE hSimConnect);
SIMCONNECTAPI SimConnect_CallDispatch(HANDLE hSimConnect, DispatchProc pfcnDispatch, void* pContext);

SIMCONNECTAPI SimConnect_AddToDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                             const char* DatumName, const char* UnitsName,
                                             SIMCONNECT_DATATYPE DatumType, float fEpsilon, DWORD DatumID);
SIMCONNECTAPI SimConnect_RequestDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                                SIMCONNECT_DATA_DEFINITION_ID DefineID, SIMCONNECT_OBJECT_ID ObjectID,
                                                SIMCONNECT_PERIOD Period, SIMCONNECT_DATA_REQUEST_FLAG Flags,
                                                DWORD origin, DWORD interval, DWORD limit);
SIMCONNECTAPI SimConnect_SubscribeToSystemEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                                const char* SystemEventName);
SIMCONNECTAPI SimConnect_MapClientEventToSimEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                                  const char* EventName);
SIMCONNECTAPI SimConnect_MenuAddItem(HANDLE hSimConnect, const char* szMenuItem, SIMCONNECT_CLIENT_EVENT_ID MenuEventID,
                                     DWORD dwData);
SIMCONNECTAPI SimConnect_AddClientEventToNotificationGroup(HANDLE hSimConnect, SIMCONNECT_NOTIFICATION_GROUP_ID GroupID,
                                                           SIMCONNECT_CLIENT_EVENT_ID EventID, int bMaskable);
SIMCONNECTAPI SimConnect_SetNotificationGroupPriority(HANDLE hSimConnect, SIMCONNECT_NOTIFICATION_GROUP_ID GroupID,
                                                      DWORD uPriority);
SIMCONNECTAPI SimConnect_RequestSystemState(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                            const char* szState);
SIMCONNECTAPI SimConnect_SetSystemState(HANDLE hSimConnect, const char* szState, DWORD dwInteger, float fFloat,
                                        const char* szString);
SIMCONNECTAPI SimConnect_Text(HANDLE hSimConnect, SIMCONNECT_TEXT_TYPE type, float fTimeSeconds,
                              SIMCONNECT_CLIENT_EVENT_ID EventID, DWORD cbUnitSize, void* pDataSet);

#endif /* SIMCONNECT_SIMCONNECT_H */
