/* VSCAUDIO: the audio library's exported interface.
 *
 * A flat C interface over FAudio's FACT (XACT3) and F3DAudio (X3DAudio): one
 * engine per library, streams on output devices, a play queue with priority
 * modes and sound lists, single sounds and cue variables. Every export has C
 * linkage and an undecorated name, so a module can bind it by name at run time.
 *
 * Handles (streams, sounds, lists) are opaque values; the library refuses a
 * handle that is stale, released or of the wrong kind. Cue names and paths are
 * copied; the three project paths are UTF-16 on every platform. */
#ifndef VSCAUDIO_VSCAUDIO_H
#define VSCAUDIO_VSCAUDIO_H

#include <stdint.h>

#ifdef __cplusplus
#define VSCAUDIO_EXTERN_C extern "C"
#else
#define VSCAUDIO_EXTERN_C
#include <uchar.h>
#endif

#if defined(_WIN32)
#define VSCAUDIO_API VSCAUDIO_EXTERN_C __declspec(dllexport)
#else
#define VSCAUDIO_API VSCAUDIO_EXTERN_C __attribute__((visibility("default")))
#endif

/* Failure codes given to the error callback. */
#define AUDIO_ERR_CREATE 0x1u
#define AUDIO_ERR_INIT 0x2u
#define AUDIO_ERR_FORMAT 0x4u
#define AUDIO_ERR_X3D 0x8u
#define AUDIO_ERR_WAVEBANK 0x10u
#define AUDIO_ERR_SOUNDBANK 0x20u
#define AUDIO_ERR_DXMISSING 0x40u
#define AUDIO_ERR_COMINIT 0x80u
#define AUDIO_ERR_XGSFILE 0x10000u
#define AUDIO_ERR_XWBFILE 0x20000u
#define AUDIO_ERR_XSBFILE 0x40000u
#define AUDIO_ERR_MEMORY 0x80000u
#define AUDIO_ERR_THREAD 0x4000000u

/* Called with a failure code and the result beside it; a nonzero return asks
 * the library to show its own message as well. */
typedef int32_t (*VSC_AUDIO_ERROR_CALLBACK)(uint32_t code, uint32_t result);

/* Queue operations reported to a trace callback (VSC_AUDIO_SET_TRACE). */
#define VSC_AUDIO_TRACE_CUE_ADDED 1   /* name; value: 0 appended, else the priority mode */
#define VSC_AUDIO_TRACE_QUE_EMPTIED 2 /* no name; value 0 */
#define VSC_AUDIO_TRACE_IS_PLAYING 3  /* no name; value: the answer given */
#define VSC_AUDIO_TRACE_CUE_STARTED 4 /* name; value 1 started, 0 could not be started (dropped) */
#define VSC_AUDIO_TRACE_CUE_STOPPED 5 /* name; value: 0 ended, else the priority mode that cut it */
#define VSC_AUDIO_TRACE_CUE_REFUSED 6 /* name (may be empty); value: 0 or the priority mode */

typedef void (*VSC_AUDIO_TRACE_CALLBACK)(void* context, int32_t operation, const char* cueName, int32_t value);

/* Engine and devices. */
VSCAUDIO_API int32_t VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(const char16_t* xgsPath, const char16_t* xwbPath,
                                                       const char16_t* xsbPath, VSC_AUDIO_ERROR_CALLBACK callback);
VSCAUDIO_API int32_t VSC_AUDIO_GET_DEVICE_COUNT(void);
VSCAUDIO_API const char* VSC_AUDIO_GET_DEVICE_NAME_A(uint32_t deviceIndex);
VSCAUDIO_API float VSC_AUDIO_GET_VOLUME(void);
VSCAUDIO_API int32_t VSC_AUDIO_SET_VOLUME(float volume);
VSCAUDIO_API int32_t VSC_AUDIO_PAUSE_ENGINE(int32_t pause);
VSCAUDIO_API int32_t VSC_AUDIO_MONITOR_LOG_A_F(void);

/* Streams. */
VSCAUDIO_API void* VSC_AUDIO_CREATE_STREAM(uint32_t deviceIndex);
VSCAUDIO_API void VSC_AUDIO_DESTROY_STREAM(void* stream);
VSCAUDIO_API int32_t VSC_AUDIO_PAUSE_STREAM(void* stream, int32_t pause);
VSCAUDIO_API float VSC_AUDIO_GET_STREAM_VOLUME(void* stream);
VSCAUDIO_API float VSC_AUDIO_SET_STREAM_VOLUME(void* stream, float volume);
VSCAUDIO_API int32_t VSC_AUDIO_SET_STREAM_POSITION(void* stream, float x, float y, float z);

/* Single sounds and cue variables. PLAY_SOUND returns VSC_AUDIO_NO_SUCH_CUE
 * (all bits set) without an engine, for a refused stream or an unknown cue. */
#define VSC_AUDIO_NO_SUCH_CUE ((void*)~(uintptr_t)0)
VSCAUDIO_API void* VSC_AUDIO_PLAY_SOUND(void* stream, const char* cueName, float x, float y, float z, float volume);
VSCAUDIO_API int32_t VSC_AUDIO_IS_SOUND_PLAYING(void* sound);
VSCAUDIO_API void VSC_AUDIO_STOP_SOUND(void* sound, uint32_t stopFlags);
VSCAUDIO_API int32_t VSC_AUDIO_PAUSE_SOUND(void* sound, int32_t pause);
VSCAUDIO_API float VSC_AUDIO_GET_SOUND_VOLUME(void* sound);
VSCAUDIO_API int32_t VSC_AUDIO_SET_SOUND_VOLUME(void* sound, float volume);
VSCAUDIO_API float VSC_AUDIO_GET_CUE_VARIABLE(void* sound, const char* variableName);
VSCAUDIO_API int32_t VSC_AUDIO_SET_CUE_VARIABLE(void* sound, const char* variableName, float value);

/* The play queue and sound lists. */
VSCAUDIO_API void VSC_AUDIO_ADD_TO_QUE(void* stream, const char* cueName, float x, float y, float z, float volume);
VSCAUDIO_API void VSC_AUDIO_PRIORITY_ADD_TO_QUE(void* stream, const char* cueName, float x, float y, float z,
                                                float volume, int32_t mode);
VSCAUDIO_API void VSC_AUDIO_EMPTY_QUE(void);
VSCAUDIO_API int32_t VSC_AUDIO_IS_QUE_PLAYING(void);
VSCAUDIO_API void* VSC_AUDIO_CREATE_LIST(void);
VSCAUDIO_API int32_t VSC_AUDIO_APPEND_LIST(void* list, void* stream, const char* cueName, float x, float y, float z,
                                           float volume);
VSCAUDIO_API int32_t VSC_AUDIO_CLEAR_LIST(void* list);
VSCAUDIO_API void VSC_AUDIO_DESTROY_LIST(void* list);
VSCAUDIO_API void VSC_AUDIO_ADD_LIST_TO_QUE(void* list);
VSCAUDIO_API void VSC_AUDIO_PRIORITY_LIST_TO_QUE(void* list, int32_t mode);

/* Diagnostics for tools: reports every queue operation, in order, to the
 * callback (null switches the trace off, which is the default). The callback
 * runs on the calling thread or the library's worker, with the queue held, and
 * must return quickly. */
VSCAUDIO_API void VSC_AUDIO_SET_TRACE(VSC_AUDIO_TRACE_CALLBACK callback, void* context);

/* Diagnostics for tools: what the library holds at this moment, for watching
 * a long run for growth and a device for losses. */
typedef struct VSC_AUDIO_DIAGNOSTICS {
  uint32_t streams;         /* live stream handles */
  uint32_t sounds;          /* live sound handles (single sounds, queued cues playing) */
  uint32_t lists;           /* live list handles */
  uint32_t queueLength;     /* entries in the play queue, its head included */
  uint32_t deviceEngines;   /* devices whose own engine is up */
  uint32_t devicesLost;     /* times an open device was found gone */
  uint32_t devicesRestored; /* times a lost device's engine came back up */
} VSC_AUDIO_DIAGNOSTICS;

/* Fills the first size bytes of diagnostics (handles are counted with or
 * without an engine); returns 1 with an engine, else 0. */
VSCAUDIO_API int32_t VSC_AUDIO_GET_DIAGNOSTICS(VSC_AUDIO_DIAGNOSTICS* diagnostics, uint32_t size);

#endif /* VSCAUDIO_VSCAUDIO_H */
