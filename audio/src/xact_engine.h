// The XACT engine under the library, and the one place where the two engines
// it runs over differ.
//
// On Windows the library drives XACT3 itself: the COM engine of
// xactengine3_7, created through COM, and X3DAudio from x3daudio1_7. Elsewhere
// it drives FAudio's FACT and F3DAudio, a reimplementation of the same API.
// The interfaces have the same shape, so the rest of the library is one body
// of code written against the names below:
//  - the engine's types (Engine, SoundBank, WaveBank, Cue, the mix format and
//    the X3DAudio records);
//  - one inline call per interface method the library uses, named after it
//    (CueStop is IXACT3Cue::Stop or FACTCue_Stop); every result is the
//    method's HRESULT as a 32-bit value;
//  - the few operations whose working differs (xact_engine_fact.cpp,
//    xact_engine_xact3.cpp): creating an engine, initialising it on a device,
//    3D setup and calculation, and COM on the calling thread.
#pragma once
#include <cstdint>

#if defined(_WIN32)
#define VSCAUDIO_XACT3 1
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <xact3.h>
extern "C" {  // Wine's x3daudio.h declares its functions without C linkage
#include <x3daudio.h>
}
#else
#define VSCAUDIO_XACT3 0
#include <F3DAudio.h>
#include <FACT.h>
#endif

namespace vscaudio::xact {

#if VSCAUDIO_XACT3

using Engine = IXACT3Engine;
using SoundBank = IXACT3SoundBank;
using WaveBank = IXACT3WaveBank;
using Cue = IXACT3Cue;
using MixFormat = WAVEFORMATEXTENSIBLE;
using RendererDetails = XACT_RENDERER_DETAILS;
using X3dHandle = X3DAUDIO_HANDLE;
using Listener = X3DAUDIO_LISTENER;
using Emitter = X3DAUDIO_EMITTER;
using DspSettings = X3DAUDIO_DSP_SETTINGS;

inline constexpr uint32_t kStatePrepared = XACT_STATE_PREPARED;
inline constexpr uint32_t kStatePlaying = XACT_STATE_PLAYING;
inline constexpr uint32_t kStateStopped = XACT_STATE_STOPPED;
inline constexpr uint32_t kStopImmediate = XACT_FLAG_STOP_IMMEDIATE;
inline constexpr uint32_t kStopRelease = XACT_FLAG_STOP_RELEASE;
inline constexpr uint16_t kInvalidVariable = XACTVARIABLEINDEX_INVALID;

// The interface methods, called as methods: the header's C-style macros for
// some of them (Stop, Pause, SetVolume) pass the wrong arguments.
inline uint32_t CuePlay(Cue* cue) { return static_cast<uint32_t>(cue->Play()); }
inline uint32_t CueStop(Cue* cue, uint32_t flags) { return static_cast<uint32_t>(cue->Stop(flags)); }
inline uint32_t CuePause(Cue* cue, int32_t pause) { return static_cast<uint32_t>(cue->Pause(pause)); }
inline uint32_t CueDestroy(Cue* cue) { return static_cast<uint32_t>(cue->Destroy()); }
inline uint32_t CueGetState(Cue* cue, uint32_t* state) {
  DWORD value = 0;
  HRESULT result = cue->GetState(&value);
  *state = static_cast<uint32_t>(value);
  return static_cast<uint32_t>(result);
}
inline uint16_t CueGetVariableIndex(Cue* cue, const char* name) { return cue->GetVariableIndex(name); }
inline uint32_t CueSetVariable(Cue* cue, uint16_t index, float value) {
  return static_cast<uint32_t>(cue->SetVariable(index, value));
}
inline uint32_t CueGetVariable(Cue* cue, uint16_t index, float* value) {
  return static_cast<uint32_t>(cue->GetVariable(index, value));
}
inline uint32_t CueSetMatrixCoefficients(Cue* cue, uint32_t sources, uint32_t destinations, float* matrix) {
  return static_cast<uint32_t>(cue->SetMatrixCoefficients(sources, destinations, matrix));
}
inline uint16_t SoundBankGetCueIndex(SoundBank* bank, const char* name) { return bank->GetCueIndex(name); }
inline uint32_t SoundBankGetNumCues(SoundBank* bank, uint16_t* count) {
  return static_cast<uint32_t>(bank->GetNumCues(count));
}
inline uint32_t SoundBankPrepare(SoundBank* bank, uint16_t index, Cue** cue) {
  return static_cast<uint32_t>(bank->Prepare(index, 0, 0, cue));
}
// Asks for the default audio endpoint first: with no audio device, or no
// audio driver at all, Wine's engine crashes inside GetRendererCount and
// Initialize. The endpoint's failure is the result then.
uint32_t EngineGetRendererCount(Engine* engine, uint16_t* count);
inline uint32_t EngineGetRendererDetails(Engine* engine, uint16_t index, RendererDetails* details) {
  return static_cast<uint32_t>(engine->GetRendererDetails(index, details));
}
inline uint32_t EngineGetFinalMixFormat(Engine* engine, MixFormat* format) {
  return static_cast<uint32_t>(engine->GetFinalMixFormat(format));
}
inline uint32_t EngineCreateInMemoryWaveBank(Engine* engine, const void* data, uint32_t size, WaveBank** bank) {
  return static_cast<uint32_t>(engine->CreateInMemoryWaveBank(data, size, 0, 0, bank));
}
inline uint32_t EngineCreateSoundBank(Engine* engine, const void* data, uint32_t size, SoundBank** bank) {
  return static_cast<uint32_t>(engine->CreateSoundBank(data, size, 0, 0, bank));
}
inline uint16_t EngineGetGlobalVariableIndex(Engine* engine, const char* name) {
  return engine->GetGlobalVariableIndex(name);
}
inline uint32_t EngineGetGlobalVariable(Engine* engine, uint16_t index, float* value) {
  return static_cast<uint32_t>(engine->GetGlobalVariable(index, value));
}
inline uint32_t EngineDoWork(Engine* engine) { return static_cast<uint32_t>(engine->DoWork()); }

inline void SetEmitterScalers(Emitter& emitter, float curveDistance, float doppler) {
  emitter.CurveDistanceScalar = curveDistance;
  emitter.DopplerScalar = doppler;
}

#else  // FAudio's FACT

using Engine = FACTAudioEngine;
using SoundBank = FACTSoundBank;
using WaveBank = FACTWaveBank;
using Cue = FACTCue;
using MixFormat = FAudioWaveFormatExtensible;
using RendererDetails = FACTRendererDetails;
using X3dHandle = F3DAUDIO_HANDLE;
using Listener = F3DAUDIO_LISTENER;
using Emitter = F3DAUDIO_EMITTER;
using DspSettings = F3DAUDIO_DSP_SETTINGS;

inline constexpr uint32_t kStatePrepared = FACT_STATE_PREPARED;
inline constexpr uint32_t kStatePlaying = FACT_STATE_PLAYING;
inline constexpr uint32_t kStateStopped = FACT_STATE_STOPPED;
inline constexpr uint32_t kStopImmediate = FACT_FLAG_STOP_IMMEDIATE;
inline constexpr uint32_t kStopRelease = FACT_FLAG_STOP_RELEASE;
inline constexpr uint16_t kInvalidVariable = FACTVARIABLEINDEX_INVALID;

inline uint32_t CuePlay(Cue* cue) { return FACTCue_Play(cue); }
inline uint32_t CueStop(Cue* cue, uint32_t flags) { return FACTCue_Stop(cue, flags); }
inline uint32_t CuePause(Cue* cue, int32_t pause) { return FACTCue_Pause(cue, pause); }
inline uint32_t CueDestroy(Cue* cue) { return FACTCue_Destroy(cue); }
inline uint32_t CueGetState(Cue* cue, uint32_t* state) { return FACTCue_GetState(cue, state); }
inline uint16_t CueGetVariableIndex(Cue* cue, const char* name) { return FACTCue_GetVariableIndex(cue, name); }
inline uint32_t CueSetVariable(Cue* cue, uint16_t index, float value) { return FACTCue_SetVariable(cue, index, value); }
inline uint32_t CueGetVariable(Cue* cue, uint16_t index, float* value) {
  return FACTCue_GetVariable(cue, index, value);
}
inline uint32_t CueSetMatrixCoefficients(Cue* cue, uint32_t sources, uint32_t destinations, float* matrix) {
  return FACTCue_SetMatrixCoefficients(cue, sources, destinations, matrix);
}
inline uint16_t SoundBankGetCueIndex(SoundBank* bank, const char* name) {
  return FACTSoundBank_GetCueIndex(bank, name);
}
inline uint32_t SoundBankGetNumCues(SoundBank* bank, uint16_t* count) { return FACTSoundBank_GetNumCues(bank, count); }
inline uint32_t SoundBankPrepare(SoundBank* bank, uint16_t index, Cue** cue) {
  return FACTSoundBank_Prepare(bank, index, 0, 0, cue);
}
inline uint32_t EngineGetRendererCount(Engine* engine, uint16_t* count) {
  return FACTAudioEngine_GetRendererCount(engine, count);
}
inline uint32_t EngineGetRendererDetails(Engine* engine, uint16_t index, RendererDetails* details) {
  return FACTAudioEngine_GetRendererDetails(engine, index, details);
}
inline uint32_t EngineGetFinalMixFormat(Engine* engine, MixFormat* format) {
  return FACTAudioEngine_GetFinalMixFormat(engine, format);
}
inline uint32_t EngineCreateInMemoryWaveBank(Engine* engine, const void* data, uint32_t size, WaveBank** bank) {
  return FACTAudioEngine_CreateInMemoryWaveBank(engine, data, size, 0, 0, bank);
}
inline uint32_t EngineCreateSoundBank(Engine* engine, const void* data, uint32_t size, SoundBank** bank) {
  return FACTAudioEngine_CreateSoundBank(engine, data, size, 0, 0, bank);
}
inline uint16_t EngineGetGlobalVariableIndex(Engine* engine, const char* name) {
  return FACTAudioEngine_GetGlobalVariableIndex(engine, name);
}
inline uint32_t EngineGetGlobalVariable(Engine* engine, uint16_t index, float* value) {
  return FACTAudioEngine_GetGlobalVariable(engine, index, value);
}
inline uint32_t EngineDoWork(Engine* engine) { return FACTAudioEngine_DoWork(engine); }

inline void SetEmitterScalers(Emitter& emitter, float curveDistance, float doppler) {
  emitter.CurveDistanceScaler = curveDistance;
  emitter.DopplerScaler = doppler;
}

#endif

// Renderer identifiers and names are UTF-16 on both engines.
using RendererChar = int16_t;
static_assert(sizeof(RendererDetails{}.rendererID[0]) == sizeof(RendererChar));

// --- The operations whose working differs between the engines. ---

// Creates an engine the way the SDK's XACT3CreateEngine does; 0 or the
// failure result (0x8007007E when the engine's module is not installed).
uint32_t CreateEngine(Engine** engine);

// Initialize with the library's runtime parameters: look-ahead 250 ms, the
// given global settings (which the engine reads for its whole life), no
// notification callback, the renderer. Under XACT3 the default audio
// endpoint is asked for first: Wine's engine crashes inside Initialize when
// there is none, so that case fails here with the endpoint's result.
uint32_t InitializeEngine(Engine* engine, void* settings, uint32_t settingsSize, const RendererChar* rendererId);

// Shuts an engine down and releases it; null is left behind.
void ShutDownEngine(Engine*& engine);

// 3D setup as the SDK's XACT3DInitialize does it, with the look-up of the
// global variable "SpeedOfSound" checked (0x80004005 when it is missing).
uint32_t Initialize3D(Engine* engine, X3dHandle handle);

// X3DAudioInitialize itself.
uint32_t X3DInitialize(uint32_t channelMask, float speedOfSound, X3dHandle handle);

// The SDK's XACT3DCalculate: fills the emitter's default channel azimuths
// and curves, then asks X3DAudio for the matrix, the Doppler factor and the
// emitter angle.
void Calculate3D(const X3dHandle handle, const Listener& listener, Emitter& emitter, DspSettings& dsp);

// COM on the calling thread, multithreaded apartment: 0 (also when the thread
// had it already) or the failure result. Uninitialize balances one successful
// Initialize. Without COM both do nothing and succeed.
uint32_t InitializeComMultithreaded();
void UninitializeCom();

}  // namespace vscaudio::xact
