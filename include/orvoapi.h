/* orvoapi: access to map data on disk (vector layers, classifiers, rasters,
 * DEMs, terrain tiles, transforms) through a flat set of C functions.
 *
 * Conventions of every export:
 *  - cdecl; each function is exported under its plain name and under the same
 *    name with a leading underscore, both reaching the same code.
 *  - Handles are opaque pointers made by a Create export and destroyed by the
 *    matching Free export; Free of a null handle does nothing.
 *  - Interface objects derive from IApiObject and are reference counted with
 *    stdcall AddRef and Release. A new object comes back with a count of 0: a
 *    caller that never calls AddRef destroys it with one Release.
 *  - bool results are one byte (0 or 1). Counts, ids, indexes and codes are
 *    32-bit signed; file and record positions and sizes are 64-bit signed.
 *  - Strings are NUL-terminated 8-bit strings in the ANSI code page. String
 *    results are copied into a caller buffer (pointer, size in bytes) by one of
 *    two rules, stated at each getter:
 *      copy-if-it-fits: copied with its NUL only when it fits, else nothing is
 *        written and the call returns false;
 *      bounded copy: at most size bytes; shorter strings are NUL-padded, longer
 *        ones fill the buffer without a NUL.
 *  - Guarded exports never let an exception out; on failure they return their
 *    neutral result (null, 0, false, -1 for kind and type codes). Unguarded
 *    exports (marked below) pass the library's exception, a const char* message,
 *    on to the caller.
 */
#ifndef ORVOAPI_H_
#define ORVOAPI_H_

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32) || defined(__CYGWIN__)
#define ORVO_CDECL __cdecl
#if defined(__i386__) || defined(_M_IX86)
#define ORVO_STDCALL __stdcall
#else
#define ORVO_STDCALL
#endif
#else
#define ORVO_CDECL
#if defined(__i386__)
#define ORVO_STDCALL __attribute__((stdcall))
#else
#define ORVO_STDCALL
#endif
#endif

/* Exports come from the library's export list (a .def file on Windows);
 * hosts on Windows import them directly. */
#if defined(ORVO_BUILDING_LIBRARY)
#if defined(_WIN32)
#define ORVO_API
#else
#define ORVO_API __attribute__((visibility("default")))
#endif
#elif defined(_WIN32)
#define ORVO_API __declspec(dllimport)
#else
#define ORVO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A rectangle in map units: minimum x, minimum y, maximum x, maximum y. */
typedef struct BOUND {
  double minx;
  double miny;
  double maxx;
  double maxy;
} BOUND;

/* ---- IApiObject: the base of every interface --------------------------
 * Slot 0 AddRef returns the new count; slot 1 Release returns the remaining
 * count, or 0 after destroying the object once the count falls below 1. */
#ifdef __cplusplus
struct IApiObject {
  virtual int32_t ORVO_STDCALL AddRef() = 0;
  virtual int32_t ORVO_STDCALL Release() = 0;
};
#else
typedef struct IApiObject IApiObject;
typedef struct IApiObjectVtbl {
  int32_t(ORVO_STDCALL* AddRef)(IApiObject* self);
  int32_t(ORVO_STDCALL* Release)(IApiObject* self);
} IApiObjectVtbl;
struct IApiObject {
  const IApiObjectVtbl* lpVtbl;
};
#endif

/* ---- Handles -------------------------------------------------------- */
typedef struct OrvoStringIndex* HSI;   /* string-keyed index (SI) */
typedef struct OrvoInt64Index* HII64;  /* 64-bit-keyed index (II64) */

/* ---- OS command ------------------------------------------------------
 * Runs the command line (program found by the Windows command-line rules, the
 * buffer may be modified) in working_dir (null: the caller's) and waits for it
 * to end. Result: 0 when it ran, 1 for a null command line, else the system's
 * error code of the failed start (2: program not found). The program's exit
 * code is not reported. */
ORVO_API uint32_t ORVO_CDECL ExecuteOsCommand(char* command_line, const char* working_dir);

/* ---- SI: ordered string -> int index (unguarded) ---------------------
 * Keys are copied; ordering and equality are byte-wise and case-sensitive.
 * Insert keeps an existing key's value and returns false; Find leaves *value
 * untouched when the key is absent. Null handles (except in Free), keys and
 * value pointers are outside the contract. */
ORVO_API HSI ORVO_CDECL CreateSI(void);
ORVO_API void ORVO_CDECL FreeSI(HSI index);
ORVO_API bool ORVO_CDECL InsertSI(HSI index, const char* key, int32_t value);
ORVO_API bool ORVO_CDECL FindSI(HSI index, const char* key, int32_t* value);
ORVO_API int32_t ORVO_CDECL CountSI(HSI index);
ORVO_API void ORVO_CDECL DeleteSI(HSI index, const char* key);
ORVO_API void ORVO_CDECL ClearSI(HSI index);

/* ---- II64: ordered unsigned 64-bit -> int index (unguarded) -----------
 * Same rules as SI; keys are ordered as unsigned numbers. */
ORVO_API HII64 ORVO_CDECL CreateII64(void);
ORVO_API void ORVO_CDECL FreeII64(HII64 index);
ORVO_API bool ORVO_CDECL InsertII64(HII64 index, uint64_t key, int32_t value);
ORVO_API bool ORVO_CDECL FindII64(HII64 index, uint64_t key, int32_t* value);
ORVO_API int32_t ORVO_CDECL CountII64(HII64 index);
ORVO_API void ORVO_CDECL DeleteII64(HII64 index, uint64_t key);
ORVO_API void ORVO_CDECL ClearII64(HII64 index);

/* ---- AR: attribute reader (guarded) ----------------------------------
 * Reads a layer's attribute file, text (.attribute) or binary (.battribute).
 * CreateAR picks the form by the name's extension (".battribute" or
 * ".bspatial", any case, give the binary form, anything else the text form)
 * and opens base name + ".battribute" or ".attribute"; CreateExAR opens the
 * name as given in the form of the flag. Both give null when the file cannot
 * be opened. Every export is guarded; a null handle, no current record (before
 * the first NextAR, after ResetAR or a read that found nothing) and attribute
 * indexes outside 0..count-1 give the neutral result: 0, 0.0, -1 for the data
 * type, false for string getters (their buffer NUL-filled). A damaged binary
 * file ends the enumeration (NextAR false) at the damage.
 * String getters use the bounded copy: at most size bytes, NUL-padded when
 * shorter, no NUL when the text fills the buffer; true when they complete.
 * Data types: 1 integer, 2 double, 5 string, 6 blob; a text file reports 5
 * for every value, and its typed getters convert the text (atoi rule, decimal
 * number, hexadecimal digit pairs). The binary typed getters do not convert:
 * ask for the type first. GetAttributeAR with index -1 gives the class code
 * in the text form. GetBlobAttributeAR returns the byte count and copies the
 * bytes only when they fit into size bytes. */
typedef struct OrvoAttributeReader* HAR;
ORVO_API HAR ORVO_CDECL CreateAR(const char* file_name);
ORVO_API HAR ORVO_CDECL CreateExAR(const char* file_name, bool binary);
ORVO_API void ORVO_CDECL FreeAR(HAR reader);
ORVO_API void ORVO_CDECL ResetAR(HAR reader);
ORVO_API bool ORVO_CDECL NextAR(HAR reader);
ORVO_API int32_t ORVO_CDECL GetIdAR(HAR reader);
ORVO_API int32_t ORVO_CDECL GetUserIdAR(HAR reader);
ORVO_API bool ORVO_CDECL GetClassCodeAR(HAR reader, char* buffer, int32_t size);
ORVO_API int32_t ORVO_CDECL GetAttributeCountAR(HAR reader);
ORVO_API bool ORVO_CDECL GetAttributeIdAR(HAR reader, int32_t index, char* buffer, int32_t size);
ORVO_API bool ORVO_CDECL GetAttributeAR(HAR reader, int32_t index, char* buffer, int32_t size);
ORVO_API int32_t ORVO_CDECL GetAttributeDataTypeAR(HAR reader, int32_t index);
ORVO_API int32_t ORVO_CDECL GetIntAttributeAR(HAR reader, int32_t index);
ORVO_API double ORVO_CDECL GetDoubleAttributeAR(HAR reader, int32_t index);
ORVO_API int32_t ORVO_CDECL GetBlobAttributeAR(HAR reader, int32_t index, void* buffer,
                                               int32_t size);
/* Byte position of the current record in the file (0 without one); a position
 * given to SetPositionAR reads the record there (false when it is outside the
 * file or no record follows it). */
ORVO_API int64_t ORVO_CDECL GetPositionAR(HAR reader);
ORVO_API bool ORVO_CDECL SetPositionAR(HAR reader, int64_t position);
ORVO_API int64_t ORVO_CDECL GetSizeAR(HAR reader);

/* ---- AW: attribute writer (guarded) ----------------------------------
 * Writes a layer's attribute file, replacing any file of that name. CreateAW
 * picks the form and name as CreateAR does; CreateExAW writes the name as
 * given in the form of the flag; null when the file cannot be created.
 * AddRecordAW starts a record and returns its byte position (16 for the first
 * binary record, 0 for the first text line), or -1 for a null handle, id 0, a
 * null class code or any failure; attributes after a refused record are
 * dropped. The attribute exports add to the record started last and do
 * nothing for a null handle, a null id or value, a null blob with a positive
 * count or a negative count. The binary form keeps each value's type; the
 * text form writes integers in decimal, doubles as "%-.16g", blobs as
 * lower-case hexadecimal digit pairs, and drops an attribute that would make
 * the record's line longer than 2047 characters (what readers take as one
 * line). FreeAW completes the last record and the binary header: call it
 * before reading the file. Strings are copied at the call. */
typedef struct OrvoAttributeWriter* HAW;
ORVO_API HAW ORVO_CDECL CreateAW(const char* file_name);
ORVO_API HAW ORVO_CDECL CreateExAW(const char* file_name, bool binary);
ORVO_API void ORVO_CDECL FreeAW(HAW writer);
ORVO_API int64_t ORVO_CDECL AddRecordAW(HAW writer, int32_t id, int32_t user_id,
                                        const char* class_code);
ORVO_API void ORVO_CDECL AddAttributeAW(HAW writer, const char* attribute_id, const char* value);
ORVO_API void ORVO_CDECL AddIntAttributeAW(HAW writer, const char* attribute_id, int32_t value);
ORVO_API void ORVO_CDECL AddDoubleAttributeAW(HAW writer, const char* attribute_id, double value);
ORVO_API void ORVO_CDECL AddBlobAttributeAW(HAW writer, const char* attribute_id,
                                            const void* bytes, int32_t count);

/* ==== families are added above this line ==== */

#ifdef __cplusplus
}
#endif

#endif /* ORVOAPI_H_ */
