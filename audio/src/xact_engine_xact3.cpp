// The engine's own operations over XACT3 itself: the COM engine of
// xactengine3_7, created through COM as the SDK's XACT3CreateEngine does it,
// and X3DAudio from x3daudio1_7.
//
// The SDK's creation routine and its XACT3DInitialize / XACT3DCalculate are
// inline functions of its headers, which Wine's SDK headers do not carry;
// they are written out here, with the same steps.
#include <initguid.h>  // the class and interface identifiers are defined here

#include "xact_engine.h"

#include <mmdeviceapi.h>

#include <cmath>

#include "error_reporting.h"

namespace vscaudio::xact {

namespace {

constexpr DWORD kLookAheadMs = 250;
constexpr float kPi = 3.141592654f;

// The value that asks for the debug engine: a nonzero REG_DWORD
// "DebugEngine" under HKEY_LOCAL_MACHINE\Software\Microsoft\XACT.
bool DebugEngineWanted() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\XACT", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = REG_DWORD;
  DWORD data = 0;
  DWORD size = sizeof data;
  bool wanted =
      RegQueryValueExW(key, L"DebugEngine", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS &&
      data != 0;
  RegCloseKey(key);
  return wanted;
}

// Asks the system for its default output endpoint: the device XACT would
// open. 0, or the failure (E_NOTFOUND, 0x80070490, when there is none).
uint32_t FindDefaultEndpoint() {
  IMMDeviceEnumerator* enumerator = nullptr;
  HRESULT result = CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, IID_IMMDeviceEnumerator,
                                    reinterpret_cast<void**>(&enumerator));
  if (FAILED(result)) return static_cast<uint32_t>(result);
  IMMDevice* device = nullptr;
  result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
  if (SUCCEEDED(result) && device == nullptr) result = E_FAIL;
  if (device != nullptr) device->Release();
  enumerator->Release();
  return SUCCEEDED(result) ? 0 : static_cast<uint32_t>(result);
}

}  // namespace

uint32_t EngineGetRendererCount(Engine* engine, uint16_t* count) {
  *count = 0;
  if (uint32_t endpoint = FindDefaultEndpoint(); endpoint != 0) return endpoint;
  HRESULT result = engine->GetRendererCount(count);
  return FAILED(result) ? static_cast<uint32_t>(result) : 0;
}

uint32_t CreateEngine(Engine** engine) {
  *engine = nullptr;
  HRESULT result = E_FAIL;
  if (DebugEngineWanted()) {
    result = CoCreateInstance(CLSID_XACTDebugEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IXACT3Engine,
                              reinterpret_cast<void**>(engine));
  }
  // The release engine when no debug engine was asked for, or none exists.
  if (FAILED(result)) {
    *engine = nullptr;
    result = CoCreateInstance(CLSID_XACTEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IXACT3Engine,
                              reinterpret_cast<void**>(engine));
  }
  if (SUCCEEDED(result) && *engine == nullptr) result = E_FAIL;
  if (FAILED(result)) *engine = nullptr;
  return FAILED(result) ? static_cast<uint32_t>(result) : 0;
}

uint32_t InitializeEngine(Engine* engine, void* settings, uint32_t settingsSize, const RendererChar* rendererId) {
  if (uint32_t endpoint = FindDefaultEndpoint(); endpoint != 0) return endpoint;
  XACT_RUNTIME_PARAMETERS parameters = {};
  parameters.lookAheadTime = kLookAheadMs;
  parameters.pGlobalSettingsBuffer = settings;
  parameters.globalSettingsBufferSize = settingsSize;
  parameters.globalSettingsFlags = 0;
  parameters.fnNotificationCallback = nullptr;
  parameters.pRendererID = reinterpret_cast<LPCWSTR>(rendererId);
  HRESULT result = engine->Initialize(&parameters);
  return FAILED(result) ? static_cast<uint32_t>(result) : 0;
}

void ShutDownEngine(Engine*& engine) {
  if (engine == nullptr) return;
  engine->Shutdown();
  engine->Release();
  engine = nullptr;
}

uint32_t Initialize3D(Engine* engine, X3dHandle handle) {
  XACTVARIABLEINDEX index = engine->GetGlobalVariableIndex("SpeedOfSound");
  if (index == XACTVARIABLEINDEX_INVALID) return kResultFail;
  XACTVARIABLEVALUE speedOfSound = 0.0f;
  HRESULT result = engine->GetGlobalVariable(index, &speedOfSound);
  if (FAILED(result)) return static_cast<uint32_t>(result);
  WAVEFORMATEXTENSIBLE format = {};
  result = engine->GetFinalMixFormat(&format);
  if (FAILED(result)) return static_cast<uint32_t>(result);
  return X3DInitialize(format.dwChannelMask, speedOfSound, handle);
}

uint32_t X3DInitialize(uint32_t channelMask, float speedOfSound, X3dHandle handle) {
  HRESULT result = X3DAudioInitialize(channelMask, speedOfSound, handle);
  return FAILED(result) ? static_cast<uint32_t>(result) : 0;
}

void Calculate3D(const X3dHandle handle, const Listener& listener, Emitter& emitter, DspSettings& dsp) {
  // The SDK's defaults: a stereo emitter's channels left and right of it at
  // radius 1, and flat volume and LFE curves.
  static float stereoAzimuths[2] = {3.0f * kPi / 2.0f, kPi / 2.0f};
  static X3DAUDIO_DISTANCE_CURVE_POINT flatPoints[2] = {{0.0f, 1.0f}, {1.0f, 1.0f}};
  static X3DAUDIO_DISTANCE_CURVE flatCurve = {flatPoints, 2};
  if (emitter.ChannelCount > 1 && emitter.pChannelAzimuths == nullptr) {
    if (emitter.ChannelCount != 2) return;  // the library's emitters are all stereo
    emitter.ChannelRadius = 1.0f;
    emitter.pChannelAzimuths = stereoAzimuths;
  }
  if (emitter.pVolumeCurve == nullptr) emitter.pVolumeCurve = &flatCurve;
  if (emitter.pLFECurve == nullptr) emitter.pLFECurve = &flatCurve;
  X3DAudioCalculate(handle, &listener, &emitter,
                    X3DAUDIO_CALCULATE_MATRIX | X3DAUDIO_CALCULATE_DOPPLER | X3DAUDIO_CALCULATE_EMITTER_ANGLE, &dsp);
}

uint32_t InitializeComMultithreaded() {
  // S_FALSE: the thread was in the multithreaded apartment already, which
  // also counts and is balanced by one uninitialisation.
  HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  return FAILED(result) ? static_cast<uint32_t>(result) : 0;
}

void UninitializeCom() { CoUninitialize(); }

}  // namespace vscaudio::xact
