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
 *    on to the caller; only a host built with the same compiler can catch it,
 *    and the 32-bit DLL cannot pass it across at all (its runtime is linked in).
 */
#ifndef ORVOAPI_H_
#define ORVOAPI_H_

#include <stddef.h>
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

/* Device contexts and fonts. On Windows they are the system's own types,
 * declared here as <windows.h> declares them (include it for the complete
 * POINT and LOGFONTA); on Linux the library's software GDI takes their place,
 * with the same layouts (LOGFONTA is 60 bytes). COLORREF carries red in the
 * low byte. */
#if defined(_WIN32)
typedef struct HDC__* HDC;
typedef struct HFONT__* HFONT;
typedef unsigned long COLORREF;
typedef struct tagPOINT POINT;
typedef struct tagLOGFONTA LOGFONTA;
#else
typedef struct HDC__* HDC;
typedef struct HFONT__* HFONT;
typedef uint32_t COLORREF;
typedef struct tagPOINT {
  int32_t x;
  int32_t y;
} POINT;
typedef struct tagLOGFONTA {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];
} LOGFONTA;
/* The raster operations the library draws with (Raster2Dc, views, signs). */
#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
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
typedef struct OrvoStringIndex* HSI;  /* string-keyed index (SI) */
typedef struct OrvoInt64Index* HII64; /* 64-bit-keyed index (II64) */

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
ORVO_API void ORVO_CDECL AddBlobAttributeAW(HAW writer, const char* attribute_id, const void* bytes,
                                            int32_t count);

/* ---- SR: spatial reader (guarded) ------------------------------------
 * Reads a layer's spatial file, text (.spatial) or binary (.bspatial), with
 * its optional spatial index (.index beside a text file, .bindex beside a
 * binary one). CreateSR picks the form by the name's extension (".bspatial"
 * or ".battribute", any case, give the binary form, anything else the text
 * form) and opens base name + ".bspatial" or ".spatial"; CreateExSR opens the
 * name as given in the form of the flag. The index is the name with its
 * extension replaced by ".bindex" or ".index"; without a loadable index the
 * reader walks the file in file order and the index getters give 0/false.
 * Both give null when the spatial file cannot be opened or is not a valid
 * binary spatial file.
 * With an index NextSR walks the objects in ascending id order; NextNodeSR and
 * NextEdgeSR read on to the next point or line; FindPositionSR jumps to an id
 * (moving the walk's place there).
 * Every export is guarded: a malformed or damaged record ends an enumeration
 * with false. A null handle and no current record (before the first read,
 * after ResetSR or a read that found nothing) give the neutral result: 0,
 * -1 for kinds, null pointers, false; GetBoundSR then writes nothing.
 * Array pointers (vertex counts, vector starts, x,y pairs, z values) belong
 * to the reader and stay valid until the next call that reads, seeks or
 * resets; in the binary form they point into the mapped file, read-only and
 * possibly not 8-byte aligned (read them with memcpy where alignment
 * matters). Kinds: 1 point, 2 line, 3 region, 4 text, 5 mixed; GetLocal3DSR
 * adds 10 when the record carries heights (then GetZSR is not null). */
typedef struct OrvoSpatialReader* HSR;

/* The index record of the current object (GetIndexRecordSR). The 4 bytes
 * after right_face are alignment and are never written. */
typedef struct SPATIALINDEXRECORD {
  int32_t local3d; /* kind with height, from the record read */
  int32_t left_edge;
  int32_t right_edge;
  int32_t start_point;
  int32_t end_point;
  int32_t left_face;
  int32_t right_face;
  int32_t reserved; /* alignment, not written */
  BOUND bound;      /* the object's bound from the index */
} SPATIALINDEXRECORD;
#ifdef __cplusplus
static_assert(sizeof(SPATIALINDEXRECORD) == 64, "index record layout");
static_assert(offsetof(SPATIALINDEXRECORD, right_face) == 24, "index record layout");
static_assert(offsetof(SPATIALINDEXRECORD, bound) == 32, "index record layout");
#else
_Static_assert(sizeof(SPATIALINDEXRECORD) == 64, "index record layout");
_Static_assert(offsetof(SPATIALINDEXRECORD, right_face) == 24, "index record layout");
_Static_assert(offsetof(SPATIALINDEXRECORD, bound) == 32, "index record layout");
#endif

ORVO_API HSR ORVO_CDECL CreateSR(const char* file_name);
ORVO_API HSR ORVO_CDECL CreateExSR(const char* file_name, bool binary);
ORVO_API void ORVO_CDECL FreeSR(HSR reader);
ORVO_API void ORVO_CDECL ResetSR(HSR reader);
ORVO_API bool ORVO_CDECL NextSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetIdSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetLocalSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetLocal3DSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetVectorCountSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetVertexCountSR(HSR reader);
ORVO_API const int32_t* ORVO_CDECL GetVectorSizeSR(HSR reader);
ORVO_API const int32_t* ORVO_CDECL GetVectorPosSR(HSR reader);
ORVO_API const double* ORVO_CDECL GetMetricSR(HSR reader);
ORVO_API const double* ORVO_CDECL GetZSR(HSR reader);
/* Binary form: the bound stored with the record; text form: the bound of its
 * vertices. */
ORVO_API void ORVO_CDECL GetBoundSR(HSR reader, BOUND* bound);
/* Byte position of the current record in the spatial file (0 without one);
 * SetPositionSR reads the record at a position (false past the end or on a
 * damaged record). */
ORVO_API int64_t ORVO_CDECL GetPositionSR(HSR reader);
ORVO_API bool ORVO_CDECL SetPositionSR(HSR reader, int64_t position);
ORVO_API int64_t ORVO_CDECL GetSizeSR(HSR reader);
ORVO_API bool ORVO_CDECL FindPositionSR(HSR reader, int32_t id);
/* From the current index entry; without an index GetSpatialPositionSR is
 * GetPositionSR and GetAttributePositionSR is 0. */
ORVO_API int64_t ORVO_CDECL GetSpatialPositionSR(HSR reader);
ORVO_API int64_t ORVO_CDECL GetAttributePositionSR(HSR reader);
ORVO_API bool ORVO_CDECL GetIndexRecordSR(HSR reader, SPATIALINDEXRECORD* record);
ORVO_API bool ORVO_CDECL IsNetworkSR(HSR reader);
ORVO_API bool ORVO_CDECL NextNodeSR(HSR reader);
ORVO_API bool ORVO_CDECL NextEdgeSR(HSR reader);
/* Network links of the current index entry (ids, 0 where absent). */
ORVO_API int32_t ORVO_CDECL GetLeftFaceSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetRightFaceSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetLeftEdgeSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetRightEdgeSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetStartPointSR(HSR reader);
ORVO_API int32_t ORVO_CDECL GetEndPointSR(HSR reader);

/* ---- SW: spatial writer (guarded) ------------------------------------
 * Writes a layer's spatial file, replacing any file of that name. CreateSW
 * picks the form and name as CreateSR does; CreateExSW writes the name as
 * given in the form of the flag; null when the file cannot be created. No
 * index file is written.
 * AddRecordSW and AddRecord3DSW write one record: vertex_counts holds
 * vector_count counts, metric the x,y pairs of all vertices one vector after
 * the other, z (3D only) one height per vertex; the arrays are read during
 * the call only. The result is the record's byte position (48 for the first
 * binary record, 0 for the first text record), or -1 for a null handle or a
 * failure: id 0, vector_count below 1, a vertex count below 1, a null array,
 * and in the binary form a kind above 10 without heights are refused and
 * write nothing. With heights the binary form stores kind + 10 for kinds
 * below 10. FreeSW completes the file (binary header): call it before reading
 * the file. WriteBoundsSW and WriteTicksSW do nothing. */
typedef struct OrvoSpatialWriter* HSW;
ORVO_API HSW ORVO_CDECL CreateSW(const char* file_name);
ORVO_API HSW ORVO_CDECL CreateExSW(const char* file_name, bool binary);
ORVO_API void ORVO_CDECL FreeSW(HSW writer);
ORVO_API int64_t ORVO_CDECL AddRecordSW(HSW writer, int32_t id, int32_t kind,
                                        const int32_t* vertex_counts, const double* metric,
                                        int32_t vector_count);
ORVO_API int64_t ORVO_CDECL AddRecord3DSW(HSW writer, int32_t id, int32_t kind,
                                          const int32_t* vertex_counts, const double* metric,
                                          int32_t vector_count, const double* z);
ORVO_API void ORVO_CDECL WriteBoundsSW(HSW writer);
ORVO_API void ORVO_CDECL WriteTicksSW(HSW writer);

/* ---- Classifier: CS, FT, AT, GT, RT ------------------------------------
 * A classifier (HCS) owns its feature (HFT), attribute (HAT), group (HGT) and
 * graph (HRT) definitions. Object handles come from the Get...CS exports and
 * stay valid until the object is erased or the classifier is cleared, loaded
 * or freed; a rename keeps the object. The host never frees them.
 *
 * Guarding: only CreateCS (null on failure) and FreeCS catch failures; every
 * other export lets an exception through. Handles are not checked: every
 * export except FreeCS needs a valid handle of its kind. A null text argument
 * is taken as the empty text.
 *
 * Ids of the CS exports and of AddAttributeFT, ReplaceAttributeFT and
 * EraseAttributeFT are case-insensitive (ASCII letters upper-cased); the
 * other setters store texts as given.
 *
 * String results use the bounded copy (strncpy) rule: a text shorter than size
 * is copied and NUL-padded to size bytes; a longer one fills the buffer with
 * its first size bytes and no NUL. Result 1, or 0 (nothing written) for a null
 * buffer. Indexes are 0-based; an index out of range gives an empty text, and
 * setters ignore it.
 *
 * Results typed bool are one byte; int32_t yes/no results are a full 0 or 1.
 *
 * Loading (LoadFileCS, LoadMemoryCS) replaces the content. It returns 0 with
 * the classifier empty when the file cannot be read (hook code 10000, text: the
 * path, or "memory") or the text is not valid INI text (code 10004, text: the
 * INI reader's message). Skipped sections are reported with 10001 (bad LOCAL),
 * 10002 (feature exists) or 10003 (attribute without NAME1 or with an unknown
 * TYPE), the text being the section name. SaveFileCS writes CR LF line ends;
 * texts holding '"' or '\' are escaped with a backslash in quoted fields, line
 * ends inside texts are dropped. It returns 0, leaving any existing file
 * untouched, when a definition cannot be written so that it loads back (an id
 * holding ']', ':' or a line end, two ids equal after trimming and
 * upper-casing, a feature's attribute id that is empty or holds a blank or a
 * comma, a line longer than 2046 characters: hook code 10005), and 0 when the
 * file cannot be written. */
typedef struct OrvoClassify* HCS;
typedef struct OrvoFeatureType* HFT;
typedef struct OrvoAttributeType* HAT;
typedef struct OrvoGroupType* HGT;
typedef struct OrvoGraphType* HRT;

ORVO_API HCS ORVO_CDECL CreateCS(void);
ORVO_API void ORVO_CDECL FreeCS(HCS classify);
ORVO_API void ORVO_CDECL ClearCS(HCS classify);
ORVO_API bool ORVO_CDECL LoadFileCS(HCS classify, const char* path);
ORVO_API bool ORVO_CDECL LoadMemoryCS(HCS classify, const char* text, int32_t length);
ORVO_API bool ORVO_CDECL SaveFileCS(HCS classify, const char* path);
/* Ids by index list the keys in ascending byte order (upper-cased). */
ORVO_API int32_t ORVO_CDECL GetFeatureCountCS(HCS classify);
ORVO_API int32_t ORVO_CDECL GetFeatureIdCS(HCS classify, int32_t index, char* buffer, int32_t size);
ORVO_API HFT ORVO_CDECL GetFeatureCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL RenameFeatureCS(HCS classify, const char* old_id, const char* new_id);
ORVO_API int32_t ORVO_CDECL EraseFeatureCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL AddFeatureCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL GetAttributeCountCS(HCS classify);
ORVO_API int32_t ORVO_CDECL GetAttributeIdCS(HCS classify, int32_t index, char* buffer,
                                             int32_t size);
ORVO_API HAT ORVO_CDECL GetAttributeCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL RenameAttributeCS(HCS classify, const char* old_id, const char* new_id);
ORVO_API int32_t ORVO_CDECL EraseAttributeCS(HCS classify, const char* id);
ORVO_API bool ORVO_CDECL AddAttributeCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL GetGroupCountCS(HCS classify);
ORVO_API int32_t ORVO_CDECL GetGroupIdCS(HCS classify, int32_t index, char* buffer, int32_t size);
ORVO_API HGT ORVO_CDECL GetGroupCS(HCS classify, const char* id);
ORVO_API bool ORVO_CDECL RenameGroupCS(HCS classify, const char* old_id, const char* new_id);
ORVO_API bool ORVO_CDECL EraseGroupCS(HCS classify, const char* id);
ORVO_API bool ORVO_CDECL AddGroupCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL GetGraphCountCS(HCS classify);
ORVO_API int32_t ORVO_CDECL GetGraphIdCS(HCS classify, int32_t index, char* buffer, int32_t size);
ORVO_API HRT ORVO_CDECL GetGraphCS(HCS classify, const char* id);
ORVO_API int32_t ORVO_CDECL RenameGraphCS(HCS classify, const char* old_id, const char* new_id);
ORVO_API int32_t ORVO_CDECL EraseGraphCS(HCS classify, const char* id);
ORVO_API bool ORVO_CDECL AddGraphCS(HCS classify, const char* id);

/* FT: feature type. SetIdFT changes the id field only: the classifier still
 * finds the feature under its old id. Local kinds: 1 PNT, 2 LIN, 3 RGN, 4 TXT.
 * The must-be flag is accepted and not stored. */
ORVO_API int32_t ORVO_CDECL GetIdFT(HFT feature, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetIdFT(HFT feature, const char* text);
ORVO_API int32_t ORVO_CDECL GetNameFT(HFT feature, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetNameFT(HFT feature, const char* text);
ORVO_API int32_t ORVO_CDECL GetName2FT(HFT feature, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetName2FT(HFT feature, const char* text);
ORVO_API int32_t ORVO_CDECL GetAnnoFT(HFT feature, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetAnnoFT(HFT feature, const char* text);
ORVO_API int32_t ORVO_CDECL GetGraphIdFT(HFT feature, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetGraphIdFT(HFT feature, const char* text);
ORVO_API int32_t ORVO_CDECL GetLocalFT(HFT feature);
ORVO_API void ORVO_CDECL SetLocalFT(HFT feature, int32_t local);
ORVO_API int32_t ORVO_CDECL GetAttributeCountFT(HFT feature);
ORVO_API int32_t ORVO_CDECL GetAttributeIdFT(HFT feature, int32_t index, char* buffer,
                                             int32_t size);
ORVO_API bool ORVO_CDECL AddAttributeFT(HFT feature, const char* id, bool must_be);
ORVO_API bool ORVO_CDECL ReplaceAttributeFT(HFT feature, int32_t index, const char* id,
                                            bool must_be);
ORVO_API int32_t ORVO_CDECL IsAttributeMustBeFT(HFT feature, int32_t index); /* always 0 */
ORVO_API void ORVO_CDECL EraseAttributeFT(HFT feature, const char* id);

/* AT: attribute type. Data types: 1 integer, 2 double, 3 char, 4 varchar,
 * 5 string, 6 blob; any other code is handled as text. The range check is on
 * exactly when both limits are set (non-empty); bounds are inclusive. The
 * Check exports return 1 for an accepted value; on 0 GetReasonAT gives
 * "value not in range", "value not in allowed values list" or
 * "wrong datatype" (empty after a pass). CheckIntAT and CheckDoubleAT check the
 * number printed as "%-.16g". */
ORVO_API int32_t ORVO_CDECL GetIdAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetIdAT(HAT attribute, const char* text);
ORVO_API int32_t ORVO_CDECL GetNameAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetNameAT(HAT attribute, const char* text);
ORVO_API int32_t ORVO_CDECL GetName2AT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetName2AT(HAT attribute, const char* text);
ORVO_API int32_t ORVO_CDECL GetAnnoAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetAnnoAT(HAT attribute, const char* text);
ORVO_API int32_t ORVO_CDECL GetDataTypeAT(HAT attribute);
ORVO_API void ORVO_CDECL SetDataTypeAT(HAT attribute, int32_t data_type);
ORVO_API int32_t ORVO_CDECL GetDataSubTypeAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetDataSubTypeAT(HAT attribute, const char* text);
ORVO_API int32_t ORVO_CDECL GetDefaultAT(HAT attribute, char* buffer, int32_t size);
/* An empty text stores the default "0". */
ORVO_API void ORVO_CDECL SetDefaultAT(HAT attribute, const char* text);
ORVO_API void ORVO_CDECL ClearDefaultAT(HAT attribute);
ORVO_API int32_t ORVO_CDECL GetValueCountAT(HAT attribute);
ORVO_API int32_t ORVO_CDECL GetValueAT(HAT attribute, int32_t index, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetValueAT(HAT attribute, int32_t index, const char* text);
ORVO_API int32_t ORVO_CDECL GetValueAnnoAT(HAT attribute, int32_t index, char* buffer,
                                           int32_t size);
ORVO_API void ORVO_CDECL SetValueAnnoAT(HAT attribute, int32_t index, const char* text);
/* Appends a value and its annotation; an empty value adds nothing. */
ORVO_API void ORVO_CDECL AddValueAT(HAT attribute, const char* value, const char* anno);
ORVO_API void ORVO_CDECL EraseValueAT(HAT attribute, int32_t index);
/* Removes every value equal to the text with ASCII case ignored. */
ORVO_API void ORVO_CDECL EraseValueAT2(HAT attribute, const char* value);
ORVO_API void ORVO_CDECL ClearValuesAT(HAT attribute);
ORVO_API int32_t ORVO_CDECL HasValuesAT(HAT attribute);
ORVO_API int32_t ORVO_CDECL GetMaxAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetMaxAT(HAT attribute, const char* text);
ORVO_API int32_t ORVO_CDECL GetMinAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetMinAT(HAT attribute, const char* text);
ORVO_API void ORVO_CDECL ClearMinMaxAT(HAT attribute); /* switches the range check off */
ORVO_API bool ORVO_CDECL HasLimitsAT(HAT attribute);
ORVO_API int32_t ORVO_CDECL GetUnitAT(HAT attribute, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetUnitAT(HAT attribute, const char* text);
ORVO_API bool ORVO_CDECL CheckIntAT(HAT attribute, int32_t value);
ORVO_API bool ORVO_CDECL CheckDoubleAT(HAT attribute, double value);
ORVO_API bool ORVO_CDECL CheckStringAT(HAT attribute, const char* value);
ORVO_API int32_t ORVO_CDECL GetReasonAT(HAT attribute, char* buffer, int32_t size);
/* Position of the first allowed value equal to the text, or -1. */
ORVO_API int32_t ORVO_CDECL FindValueIndexAT(HAT attribute, const char* value);

/* GT: group type. */
ORVO_API int32_t ORVO_CDECL GetIdGT(HGT group, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetIdGT(HGT group, const char* text);
ORVO_API int32_t ORVO_CDECL GetAnnoGT(HGT group, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetAnnoGT(HGT group, const char* text);

/* RT: graph type (symbolisation: symbols, priority, scale range). */
ORVO_API int32_t ORVO_CDECL GetIdRT(HRT graph, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetIdRT(HRT graph, const char* text);
ORVO_API int32_t ORVO_CDECL GetAnnoRT(HRT graph, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetAnnoRT(HRT graph, const char* text);
ORVO_API int32_t ORVO_CDECL GetStdSymbolRT(HRT graph, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetStdSymbolRT(HRT graph, const char* text);
ORVO_API int32_t ORVO_CDECL GetFileSymbolRT(HRT graph, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetFileSymbolRT(HRT graph, const char* text);
ORVO_API int32_t ORVO_CDECL GetPriorityRT(HRT graph);
ORVO_API void ORVO_CDECL SetPriorityRT(HRT graph, int32_t priority);
ORVO_API double ORVO_CDECL GetMinScaleRT(HRT graph);
ORVO_API void ORVO_CDECL SetMinScaleRT(HRT graph, double scale);
ORVO_API double ORVO_CDECL GetMaxScaleRT(HRT graph);
ORVO_API void ORVO_CDECL SetMaxScaleRT(HRT graph, double scale);

/* ---- Error notification (unguarded) ---------------------------------
 * The library reports input that it skips (an INI section header without
 * ']': code 15, with the line; classifier loads and saves: codes 10000 to
 * 10005, listed with the CS family) to one process-wide hook. With no hook
 * set, reports are dropped.
 * SetErrorNotifyHook sets the hook to proc, which is called on the thread of
 * the reporting call with the code, the text (valid during the call only) and
 * user; a null proc clears it. The hook is not synchronised: set it while no
 * other thread is inside the library. proc must not unwind into the library. */
typedef void(ORVO_CDECL* OrvoErrorNotifyProc)(int32_t code, const char* text, void* user);
ORVO_API void ORVO_CDECL SetErrorNotifyHook(OrvoErrorNotifyProc proc, void* user);

/* ---- MP: map passport (guarded) --------------------------------------
 * A ".passport" file beside a map: section [COMMON] with ALIAS=alias,
 * BOUND=minx,miny,maxx,maxy and one KEY=value line per property, CR LF line
 * ends. Every export is guarded: a null handle or a failure gives the neutral
 * result (null, false, 0, nothing). String getters copy only when the text
 * and its NUL fit (copy-if-it-fits); a buffer too small is left unchanged and
 * false returned; on failure (also an index out of range or an absent key)
 * the first byte becomes NUL and false is returned.
 * Property keys are upper-cased (ASCII letters) and trimmed; ALIAS and BOUND
 * are reserved. AddAttributeMP also refuses (false) an empty key, a key with
 * '=' or starting with '[' or ';', a line end in key or value, and a property
 * whose line would exceed 2046 characters: such a property would not read
 * back from the file. Bounds are normalised (smaller value first per axis).
 * LoadMP(name) reads name with its extension replaced by ".passport" and sets
 * the file name to name without extension; properties of the file are set in
 * file order, overriding those of the same key. SaveMP writes file name +
 * ".passport" (false for an empty file name).
 * FindMP(name, binary) builds the passport from the layer's spatial file, name
 * with its extension replaced by ".bspatial" (binary) or ".spatial": the file
 * name becomes name without extension, the alias the bare name, the bound the
 * union of the record bounds of every record that is not a text record
 * (unchanged when there is none). False, bound unchanged, when the spatial
 * file cannot be opened or is malformed. */
typedef struct OrvoMapPassport* HMP;
ORVO_API HMP ORVO_CDECL CreateMP(void);
ORVO_API void ORVO_CDECL FreeMP(HMP passport);
ORVO_API bool ORVO_CDECL LoadMP(HMP passport, const char* file_name);
ORVO_API bool ORVO_CDECL SaveMP(HMP passport);
ORVO_API bool ORVO_CDECL FindMP(HMP passport, const char* file_name, bool binary);
ORVO_API bool ORVO_CDECL GetAliasMP(HMP passport, char* buffer, int32_t size);
ORVO_API bool ORVO_CDECL GetFileNameMP(HMP passport, char* buffer, int32_t size);
ORVO_API void ORVO_CDECL SetAliasMP(HMP passport, const char* alias);
ORVO_API void ORVO_CDECL SetFileNameMP(HMP passport, const char* file_name);
ORVO_API void ORVO_CDECL GetBoundMP(HMP passport, BOUND* bound);
ORVO_API void ORVO_CDECL SetBoundMP(HMP passport, const BOUND* bound);
ORVO_API int32_t ORVO_CDECL GetAttributeCountMP(HMP passport);
ORVO_API bool ORVO_CDECL GetAttributeIdPosMP(HMP passport, int32_t index, char* buffer,
                                             int32_t size);
ORVO_API bool ORVO_CDECL GetAttributePosMP(HMP passport, int32_t index, char* buffer, int32_t size);
ORVO_API bool ORVO_CDECL GetAttributeMP(HMP passport, const char* key, char* buffer, int32_t size);
ORVO_API bool ORVO_CDECL AddAttributeMP(HMP passport, const char* key, const char* value);
ORVO_API bool ORVO_CDECL RemoveAttributeMP(HMP passport, const char* key);

/* ---- SE: selection of object ids --------------------------------------
 * An ordered set of 32-bit ids. File: one id a line, ascending, CR LF.
 * LoadSE merges a file into the set: from each line the first token delimited
 * by any of ".,;\n\r\t", read by the atoi rule (no digits give 0; values
 * beyond 32 bits saturate); other tokens and empty lines are ignored; the set
 * changes only when the whole file was read. CreateSE, LoadSE and SaveSE are
 * guarded (null, false); the others are not and raise nothing but allocation
 * failures. A null handle gives false or does nothing. AddSE returns true when
 * the id was new, EraseSE when it was present. */
typedef struct OrvoSelection* HSE;
ORVO_API HSE ORVO_CDECL CreateSE(void);
ORVO_API void ORVO_CDECL FreeSE(HSE selection);
ORVO_API bool ORVO_CDECL AddSE(HSE selection, int32_t id);
ORVO_API bool ORVO_CDECL EraseSE(HSE selection, int32_t id);
ORVO_API bool ORVO_CDECL FindSE(HSE selection, int32_t id);
ORVO_API void ORVO_CDECL ClearSE(HSE selection);
ORVO_API bool ORVO_CDECL SaveSE(HSE selection, const char* file_name);
ORVO_API bool ORVO_CDECL LoadSE(HSE selection, const char* file_name);

/* ==== Interfaces of coordinates, transforms and rasters ================
 * Every interface method is stdcall with the object as its first argument; C
 * hosts call them through lpVtbl, C++ hosts as virtual methods. Slots never
 * raise: they report failure by their result (false, null, 0). A bool is one
 * byte. Points are pairs of doubles (x, y), contiguous in arrays. */

#ifdef __cplusplus
/* A growable array of points of a fixed number of doubles (the dimension).
 * GetValue and GetPoint of an index outside the array (or a component outside
 * 0..dimension-1) give 0.0 and null. GetPoint's pointer stays valid until that
 * point is deleted or the array cleared or destroyed. Load appends the points
 * of a text file: tokens split at blanks, tabs and line ends; from the left,
 * tokens starting with a digit or '-' are numbers (C strtod), the first other
 * token ends the line's values; a line with no value is skipped, one with
 * fewer than dimension values ends the load with false (points before it stay),
 * values beyond the dimension are ignored. Save writes each value as
 * "%20.10f " and ends each point with CR LF; both give false when the file
 * cannot be opened. */
struct ICoords : IApiObject {
  virtual double ORVO_STDCALL GetValue(int32_t index, int32_t component) = 0;
  virtual double* ORVO_STDCALL GetPoint(int32_t index) = 0;
  virtual int32_t ORVO_STDCALL AddPoint(const double* values) = 0;
  virtual bool ORVO_STDCALL DeletePoint(int32_t index) = 0;
  virtual int32_t ORVO_STDCALL GetCount() = 0;
  virtual int32_t ORVO_STDCALL GetDimension() = 0;
  virtual void ORVO_STDCALL Clear() = 0;
  virtual bool ORVO_STDCALL Load(const char* file_name) = 0;
  virtual bool ORVO_STDCALL Save(const char* file_name) = 0;
};

/* A plane-to-plane point transform. Transform and InverseTransform write
 * count points to dst (dst may be src itself). Transform always succeeds;
 * InverseTransform gives false, writing nothing, for a singular transform.
 * Compute fits the coefficients to control points (target = forward(source))
 * by least squares; on failure the transform is invalid and its coefficients
 * are unchanged. Slots 5 and 6 are reserved and answer false. Clone gives a
 * new transform with the same coefficients (count 0). */
struct ITransform : IApiObject {
  virtual bool ORVO_STDCALL Transform(double* dst, const double* src, int32_t count) = 0;
  virtual bool ORVO_STDCALL InverseTransform(double* dst, const double* src, int32_t count) = 0;
  virtual bool ORVO_STDCALL Compute(const double* target, const double* source, int32_t count) = 0;
  virtual bool ORVO_STDCALL Reserved1(int32_t unused) = 0;
  virtual bool ORVO_STDCALL Reserved2(int32_t unused) = 0;
  virtual bool ORVO_STDCALL IsValid() = 0;
  virtual ITransform* ORVO_STDCALL Clone() = 0;
};

/* A tiled raster file. Pixels are pixel_size bytes; tiles hold tile_width x
 * tile_height pixels row by row. GetPixel/SetPixel need 0 <= x < width and
 * 0 <= y < height and a present tile. GetPixelBlock/SetPixelBlock copy a
 * w x h rectangle whose rows are w * pixel_size bytes apart in the caller's
 * buffer; pixels outside the raster or on absent tiles are left alone; the
 * result is true when any tile took part (false for w or h below 1).
 * GetTile returns the tile's pixels: a raw tile in place in the file's
 * mapped view (writable when the raster is), valid until the next call on
 * this object that maps another part of the file; a run-length tile decoded
 * into a buffer of the object, valid until the next one is decoded. Writes
 * (SetPixel, SetPixelBlock) are refused on a read-only raster and on
 * run-length tiles, which the library does not re-encode. Clone opens the
 * same file again (through its shared mapping) with the given access. */
struct IRaster : IApiObject {
  virtual int32_t ORVO_STDCALL GetWidth() = 0;
  virtual int32_t ORVO_STDCALL GetHeight() = 0;
  virtual int32_t ORVO_STDCALL GetTileWidth() = 0;
  virtual int32_t ORVO_STDCALL GetTileHeight() = 0;
  virtual int32_t ORVO_STDCALL GetPixelSize() = 0;
  virtual int64_t ORVO_STDCALL GetFileSize() = 0;
  virtual bool ORVO_STDCALL GetPixel(int32_t x, int32_t y, void* dst) = 0;
  virtual bool ORVO_STDCALL SetPixel(int32_t x, int32_t y, const void* src) = 0;
  virtual bool ORVO_STDCALL GetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                          void* dst) = 0;
  virtual bool ORVO_STDCALL SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                          const void* src) = 0;
  virtual void* ORVO_STDCALL GetTile(int32_t tx, int32_t ty) = 0;
  virtual IRaster* ORVO_STDCALL Clone(bool read_only) = 0;
};

/* A raster with the affine transform between its pixel positions (column,
 * row) and map positions (x, y), taken from the file's ".corners" control
 * points (path + ".corners"; with the geographic flag its first two columns
 * are y, x). PixelToMap, MapToPixel and HasTransform give false without a
 * transform; LoadTransform reads the control points again. Clone gives an
 * ITransformedRaster. */
struct ITransformedRaster : IRaster {
  ITransformedRaster* ORVO_STDCALL Clone(bool read_only) override = 0;
  virtual bool ORVO_STDCALL PixelToMap(double* dst, const double* src, int32_t count) = 0;
  virtual bool ORVO_STDCALL MapToPixel(double* dst, const double* src, int32_t count) = 0;
  virtual bool ORVO_STDCALL HasTransform() = 0;
  virtual bool ORVO_STDCALL LoadTransform() = 0;
};

/* A terrain tile set seen as one raster (OpenTawsesRaster, or OpenRaster of
 * a tile list): an IRaster of 2-byte heights whose tiles are the set's tile
 * files, one degree square each, row 0 in the north. The raster caches one
 * tile; a changed one is written back to its file before another tile is
 * fetched, on SaveTile and when the raster is destroyed. Writes through
 * GetTile's pointer are written back only after a SetPixel or SetPixelBlock
 * on that tile. Slot 14 is reserved and does nothing. GetBound copies the
 * set's rectangle in degrees (false for null); SaveTile writes the cached
 * tile back (true when there is nothing to write, false when its file cannot
 * be written). */
struct ITaRaster : IRaster {
  virtual void ORVO_STDCALL Reserved() = 0;
  virtual bool ORVO_STDCALL GetBound(BOUND* bound) = 0;
  virtual bool ORVO_STDCALL SaveTile() = 0;
};

/* Pixel values to colours. Pixels2Dib writes count 3-byte pixels (blue,
 * green, red) to dst: format 1 takes 8-bit values, format 2 16-bit values,
 * each through entry value % GetCount(); format 3 copies 3-byte pixels as
 * they are. It returns count, or 0 (writing nothing) for another format or a
 * palette without entries. SetColor takes and GetColor gives a colour as red,
 * green, blue; both are false for an index outside 0..GetCount()-1. */
struct IPalette : IApiObject {
  virtual int32_t ORVO_STDCALL Pixels2Dib(void* dst, const void* src, int32_t format,
                                          int32_t count) = 0;
  virtual int32_t ORVO_STDCALL GetCount() = 0;
  virtual bool ORVO_STDCALL SetColor(int32_t index, const uint8_t* rgb) = 0;
  virtual bool ORVO_STDCALL GetColor(uint8_t* rgb, int32_t index) = 0;
};

/* A raster with its previews shown at integer zoom steps (scale below -1
 * reduces by -scale, -1..1 is one to one, above 1 enlarges). Prepare reads the
 * w x h window at raster pixel (rx, ry) of the main raster from the coarsest
 * preview that serves the scale; Draw converts it (through the palette, or
 * grey for 1 and 2-byte pixels and reversed 3-byte pixels) and copies the
 * part the raster covers to dc at (x, y) with the raster operation; Render
 * does both. Window pixels off the raster hold 9999 (2-byte pixels) or 0.
 * GetBuffer and GetBufferSize give the prepared pixels (valid until the next
 * Prepare); GetPixelSize, GetWidth and GetHeight describe the main raster. */
struct IRasterView : IApiObject {
  virtual bool ORVO_STDCALL Render(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx,
                                   int32_t ry, int32_t scale, IPalette* palette, uint32_t rop) = 0;
  virtual bool ORVO_STDCALL Prepare(HDC dc, int32_t w, int32_t h, int32_t rx, int32_t ry,
                                    int32_t scale) = 0;
  virtual void* ORVO_STDCALL GetBuffer() = 0;
  virtual int32_t ORVO_STDCALL GetBufferSize() = 0;
  virtual int32_t ORVO_STDCALL GetPixelSize() = 0;
  virtual bool ORVO_STDCALL Draw(HDC dc, int32_t x, int32_t y, IPalette* palette, uint32_t rop) = 0;
  virtual int32_t ORVO_STDCALL GetWidth() = 0;
  virtual int32_t ORVO_STDCALL GetHeight() = 0;
};
#endif

/* One record of a DEM histogram: a 16-bit pixel value (a height when read
 * as int16_t) and how many pixels hold it. Packed: 10 bytes, the record of
 * the histogram file. */
#pragma pack(push, 1)
typedef struct SHORTHISTORECORD {
  uint16_t value;
  int64_t count;
} SHORTHISTORECORD;
#pragma pack(pop)
#ifdef __cplusplus
static_assert(sizeof(SHORTHISTORECORD) == 10, "histogram record layout");

/* Counts of the heights of a prepared view window or of an array of heights.
 * BuildFromView counts the part of the window that the raster covers, after
 * view->Prepare(dc, w, h, rx, ry, scale) with the same arguments (false when
 * the view holds no 2-byte window of w x h pixels). Both builds record every
 * value but 65535 and are true when a height below 9999 was counted (9998
 * counts as 0 in the limits); GetMinHeight and GetMaxHeight give the limits
 * of the last successful build, 9999 before one. GetRecords: the records in
 * increasing unsigned value order (heights 0..32767, then -32768..-2), null
 * when there are none; valid until the next build, Load or Release. Save
 * writes the histogram file ("_hstgrmm"; false when there are no records or
 * a write fails, and then no file is left); Load replaces the records by
 * those of a histogram file, keeping the limits. */
struct IDemHistogramm : IApiObject {
  virtual bool ORVO_STDCALL BuildFromView(IRasterView* view, int32_t w, int32_t h, int32_t rx,
                                          int32_t ry, int32_t scale) = 0;
  virtual bool ORVO_STDCALL BuildFromValues(const uint16_t* values, int32_t count) = 0;
  virtual int16_t ORVO_STDCALL GetMinHeight() = 0;
  virtual int16_t ORVO_STDCALL GetMaxHeight() = 0;
  virtual const SHORTHISTORECORD* ORVO_STDCALL GetRecords() = 0;
  virtual int32_t ORVO_STDCALL GetRecordCount() = 0;
  virtual bool ORVO_STDCALL Save(const char* path) = 0;
  virtual bool ORVO_STDCALL Load(const char* path) = 0;
};

/* A library of small map signs, each a BMP picture with a hot spot, decoded
 * on first use. DrawSign draws sign index with its hot spot at (x, y) in dc,
 * white picture pixels leaving dc as it was. RecolorSign turns every opaque
 * pixel of colour from into to (COLORREF, red in the low byte) in the decoded
 * sign; UnloadSign drops the decoded picture (the next use decodes it again,
 * without the recolouring). The three are false for an index outside
 * 0..GetSignCount()-1 or a picture that cannot be decoded or drawn.
 * GetSignWidth: the width of the sign's head, 0 for an index outside. */
struct IPgm : IApiObject {
  virtual bool ORVO_STDCALL DrawSign(HDC dc, int32_t x, int32_t y, int32_t index) = 0;
  virtual bool ORVO_STDCALL RecolorSign(int32_t index, COLORREF from, COLORREF to) = 0;
  virtual bool ORVO_STDCALL UnloadSign(int32_t index) = 0;
  virtual int32_t ORVO_STDCALL GetSignWidth(int32_t index) = 0;
  virtual int32_t ORVO_STDCALL GetSignCount() = 0;
};
#else
typedef struct ICoords ICoords;
typedef struct ICoordsVtbl {
  int32_t(ORVO_STDCALL* AddRef)(ICoords* self);
  int32_t(ORVO_STDCALL* Release)(ICoords* self);
  double(ORVO_STDCALL* GetValue)(ICoords* self, int32_t index, int32_t component);
  double*(ORVO_STDCALL* GetPoint)(ICoords* self, int32_t index);
  int32_t(ORVO_STDCALL* AddPoint)(ICoords* self, const double* values);
  bool(ORVO_STDCALL* DeletePoint)(ICoords* self, int32_t index);
  int32_t(ORVO_STDCALL* GetCount)(ICoords* self);
  int32_t(ORVO_STDCALL* GetDimension)(ICoords* self);
  void(ORVO_STDCALL* Clear)(ICoords* self);
  bool(ORVO_STDCALL* Load)(ICoords* self, const char* file_name);
  bool(ORVO_STDCALL* Save)(ICoords* self, const char* file_name);
} ICoordsVtbl;
struct ICoords {
  const ICoordsVtbl* lpVtbl;
};

typedef struct ITransform ITransform;
typedef struct ITransformVtbl {
  int32_t(ORVO_STDCALL* AddRef)(ITransform* self);
  int32_t(ORVO_STDCALL* Release)(ITransform* self);
  bool(ORVO_STDCALL* Transform)(ITransform* self, double* dst, const double* src, int32_t count);
  bool(ORVO_STDCALL* InverseTransform)(ITransform* self, double* dst, const double* src,
                                       int32_t count);
  bool(ORVO_STDCALL* Compute)(ITransform* self, const double* target, const double* source,
                              int32_t count);
  bool(ORVO_STDCALL* Reserved1)(ITransform* self, int32_t unused);
  bool(ORVO_STDCALL* Reserved2)(ITransform* self, int32_t unused);
  bool(ORVO_STDCALL* IsValid)(ITransform* self);
  ITransform*(ORVO_STDCALL* Clone)(ITransform* self);
} ITransformVtbl;
struct ITransform {
  const ITransformVtbl* lpVtbl;
};

typedef struct IRaster IRaster;
#define ORVO_IRASTER_SLOTS(Self, CloneResult)                                                 \
  int32_t(ORVO_STDCALL* AddRef)(Self * self);                                                 \
  int32_t(ORVO_STDCALL* Release)(Self * self);                                                \
  int32_t(ORVO_STDCALL* GetWidth)(Self * self);                                               \
  int32_t(ORVO_STDCALL* GetHeight)(Self * self);                                              \
  int32_t(ORVO_STDCALL* GetTileWidth)(Self * self);                                           \
  int32_t(ORVO_STDCALL* GetTileHeight)(Self * self);                                          \
  int32_t(ORVO_STDCALL* GetPixelSize)(Self * self);                                           \
  int64_t(ORVO_STDCALL* GetFileSize)(Self * self);                                            \
  bool(ORVO_STDCALL * GetPixel)(Self * self, int32_t x, int32_t y, void* dst);                \
  bool(ORVO_STDCALL * SetPixel)(Self * self, int32_t x, int32_t y, const void* src);          \
  bool(ORVO_STDCALL * GetPixelBlock)(Self * self, int32_t x, int32_t y, int32_t w, int32_t h, \
                                     void* dst);                                              \
  bool(ORVO_STDCALL * SetPixelBlock)(Self * self, int32_t x, int32_t y, int32_t w, int32_t h, \
                                     const void* src);                                        \
  void*(ORVO_STDCALL * GetTile)(Self * self, int32_t tx, int32_t ty);                         \
  CloneResult*(ORVO_STDCALL * Clone)(Self * self, bool read_only);
typedef struct IRasterVtbl {
  ORVO_IRASTER_SLOTS(IRaster, IRaster)
} IRasterVtbl;
struct IRaster {
  const IRasterVtbl* lpVtbl;
};

typedef struct ITransformedRaster ITransformedRaster;
typedef struct ITransformedRasterVtbl {
  ORVO_IRASTER_SLOTS(ITransformedRaster, ITransformedRaster)
  bool(ORVO_STDCALL* PixelToMap)(ITransformedRaster* self, double* dst, const double* src,
                                 int32_t count);
  bool(ORVO_STDCALL* MapToPixel)(ITransformedRaster* self, double* dst, const double* src,
                                 int32_t count);
  bool(ORVO_STDCALL* HasTransform)(ITransformedRaster* self);
  bool(ORVO_STDCALL* LoadTransform)(ITransformedRaster* self);
} ITransformedRasterVtbl;
struct ITransformedRaster {
  const ITransformedRasterVtbl* lpVtbl;
};

typedef struct ITaRaster ITaRaster;
typedef struct ITaRasterVtbl {
  ORVO_IRASTER_SLOTS(ITaRaster, IRaster)
  void(ORVO_STDCALL* Reserved)(ITaRaster* self);
  bool(ORVO_STDCALL* GetBound)(ITaRaster* self, BOUND* bound);
  bool(ORVO_STDCALL* SaveTile)(ITaRaster* self);
} ITaRasterVtbl;
struct ITaRaster {
  const ITaRasterVtbl* lpVtbl;
};

typedef struct IPalette IPalette;
typedef struct IPaletteVtbl {
  int32_t(ORVO_STDCALL* AddRef)(IPalette* self);
  int32_t(ORVO_STDCALL* Release)(IPalette* self);
  int32_t(ORVO_STDCALL* Pixels2Dib)(IPalette* self, void* dst, const void* src, int32_t format,
                                    int32_t count);
  int32_t(ORVO_STDCALL* GetCount)(IPalette* self);
  bool(ORVO_STDCALL* SetColor)(IPalette* self, int32_t index, const uint8_t* rgb);
  bool(ORVO_STDCALL* GetColor)(IPalette* self, uint8_t* rgb, int32_t index);
} IPaletteVtbl;
struct IPalette {
  const IPaletteVtbl* lpVtbl;
};

typedef struct IRasterView IRasterView;
typedef struct IRasterViewVtbl {
  int32_t(ORVO_STDCALL* AddRef)(IRasterView* self);
  int32_t(ORVO_STDCALL* Release)(IRasterView* self);
  bool(ORVO_STDCALL* Render)(IRasterView* self, HDC dc, int32_t x, int32_t y, int32_t w, int32_t h,
                             int32_t rx, int32_t ry, int32_t scale, IPalette* palette,
                             uint32_t rop);
  bool(ORVO_STDCALL* Prepare)(IRasterView* self, HDC dc, int32_t w, int32_t h, int32_t rx,
                              int32_t ry, int32_t scale);
  void*(ORVO_STDCALL* GetBuffer)(IRasterView* self);
  int32_t(ORVO_STDCALL* GetBufferSize)(IRasterView* self);
  int32_t(ORVO_STDCALL* GetPixelSize)(IRasterView* self);
  bool(ORVO_STDCALL* Draw)(IRasterView* self, HDC dc, int32_t x, int32_t y, IPalette* palette,
                           uint32_t rop);
  int32_t(ORVO_STDCALL* GetWidth)(IRasterView* self);
  int32_t(ORVO_STDCALL* GetHeight)(IRasterView* self);
} IRasterViewVtbl;
struct IRasterView {
  const IRasterViewVtbl* lpVtbl;
};

_Static_assert(sizeof(SHORTHISTORECORD) == 10, "histogram record layout");
typedef struct IDemHistogramm IDemHistogramm;
typedef struct IDemHistogrammVtbl {
  int32_t(ORVO_STDCALL* AddRef)(IDemHistogramm* self);
  int32_t(ORVO_STDCALL* Release)(IDemHistogramm* self);
  bool(ORVO_STDCALL* BuildFromView)(IDemHistogramm* self, IRasterView* view, int32_t w, int32_t h,
                                    int32_t rx, int32_t ry, int32_t scale);
  bool(ORVO_STDCALL* BuildFromValues)(IDemHistogramm* self, const uint16_t* values, int32_t count);
  int16_t(ORVO_STDCALL* GetMinHeight)(IDemHistogramm* self);
  int16_t(ORVO_STDCALL* GetMaxHeight)(IDemHistogramm* self);
  const SHORTHISTORECORD*(ORVO_STDCALL* GetRecords)(IDemHistogramm* self);
  int32_t(ORVO_STDCALL* GetRecordCount)(IDemHistogramm* self);
  bool(ORVO_STDCALL* Save)(IDemHistogramm* self, const char* path);
  bool(ORVO_STDCALL* Load)(IDemHistogramm* self, const char* path);
} IDemHistogrammVtbl;
struct IDemHistogramm {
  const IDemHistogrammVtbl* lpVtbl;
};

typedef struct IPgm IPgm;
typedef struct IPgmVtbl {
  int32_t(ORVO_STDCALL* AddRef)(IPgm* self);
  int32_t(ORVO_STDCALL* Release)(IPgm* self);
  bool(ORVO_STDCALL* DrawSign)(IPgm* self, HDC dc, int32_t x, int32_t y, int32_t index);
  bool(ORVO_STDCALL* RecolorSign)(IPgm* self, int32_t index, COLORREF from, COLORREF to);
  bool(ORVO_STDCALL* UnloadSign)(IPgm* self, int32_t index);
  int32_t(ORVO_STDCALL* GetSignWidth)(IPgm* self, int32_t index);
  int32_t(ORVO_STDCALL* GetSignCount)(IPgm* self);
} IPgmVtbl;
struct IPgm {
  const IPgmVtbl* lpVtbl;
};
#endif

/* ---- Coordinate arrays (guarded) --------------------------------------
 * CreateCoords: an empty array of dimension (1 or more) values a point, or,
 * with a file name, the points loaded from that file (see ICoords::Load);
 * null when the dimension is below 1, the file cannot be opened or a line is
 * short. */
ORVO_API ICoords* ORVO_CDECL CreateCoords(const char* file_name, int32_t dimension);

/* ---- Affine and orthogonal transforms (guarded) ------------------------
 * Each returns a new transform (count 0) or null. The affine transform is
 * X = a*x + b*y + c, Y = d*x + e*y + f, fitted by least squares to count
 * pairs target[i] = forward(source[i]) (3 or more points, not all on one
 * line). The orthogonal transform is X = p*x + q*y + tx, Y = -q*x + p*y + ty
 * (rotation, uniform scale, shift), fitted the same way.
 * From a coordinate array of 4 or more values a point, or a control-point
 * file (map x, map y, column, row a line): target = (value 0, value 1),
 * source = (value 2, value 3); the first 10 points are used and at least 3
 * are needed. The result maps pixel positions to map positions. The Geo
 * variant reads the first two columns as (y, x). The array stays the
 * caller's. */
ORVO_API ITransform* ORVO_CDECL CreateAffineTransform(const double* target, const double* source,
                                                      int32_t count);
ORVO_API ITransform* ORVO_CDECL CreateAffineTransformFromCooords(ICoords* coords);
ORVO_API ITransform* ORVO_CDECL LoadAffineTransform(const char* file_name);
ORVO_API ITransform* ORVO_CDECL LoadAffineTransformGeo(const char* file_name);
ORVO_API ITransform* ORVO_CDECL CreateOrtoTransform(const double* target, const double* source,
                                                    int32_t count);
ORVO_API ITransform* ORVO_CDECL LoadOrtoTransform(const char* file_name);

/* ---- Raster files (never raise) ----------------------------------------
 * A raster file: a 264-byte head ("_raster_", then 64-bit little-endian file
 * size, head size, reserved, width, height, tile width, tile height, pixel
 * size, tile table offset, data offset; bytes 88 up to the head size belong
 * to the caller), then the tiles: fixed layout (tile i raw at data offset +
 * i * tile bytes) or variable layout (a table of 12-byte records, 64-bit
 * offset and 32-bit stored size, per tile; a stored size other than tile
 * bytes is a 16-bit method word 1 followed by a run-length stream of 16-bit
 * counts each followed by one pixel).
 * CreateRaster makes a new file in the fixed layout (false when it exists,
 * a size is below 1, or the file cannot be made full size; a file it made is
 * then deleted). The data offset is max(264, head_size).
 * ReadRasterHead copies the first size (264 or more) bytes of the file and
 * returns the head size field; WriteRasterHead writes bytes 88..size-1 of
 * buffer and sets the head size to size (at most the data offset; fixed
 * layout only), returning size. Both reach a file that an open raster holds
 * through its shared mapping, and give 0 on any failure.
 * TileCount(tile size, extent) = (extent + tile size - 1) / tile size.
 * RleCompress returns the stream's length, or 0 when it would not be shorter
 * than the source (dst must hold source_size bytes); RleDecompress is true
 * when the stream decodes to exactly dst_size bytes.
 * WriteRasterBound writes the control-point file of a width x height raster
 * covering bound: the centres of the four corner pixels, (0,0), (W-1,0),
 * (W-1,H-1), (0,H-1), each line map x, map y, column, row as "%20.10f ".
 * IsRaster: the file has a valid head. */
ORVO_API bool ORVO_CDECL CreateRaster(const char* file_name, int32_t width, int32_t height,
                                      int32_t tile_width, int32_t tile_height, int32_t pixel_size,
                                      int32_t head_size);
ORVO_API int32_t ORVO_CDECL ReadRasterHead(const char* file_name, void* buffer, int32_t size);
ORVO_API int32_t ORVO_CDECL WriteRasterHead(const char* file_name, const void* buffer,
                                            int32_t size);
ORVO_API int32_t ORVO_CDECL TileCount(int32_t tile_size, int32_t extent);
ORVO_API int32_t ORVO_CDECL RleCompress(void* dst, const void* src, int32_t source_size,
                                        int32_t pixel_size);
ORVO_API bool ORVO_CDECL RleDecompress(void* dst, int32_t dst_size, const void* src,
                                       int32_t source_size, int32_t pixel_size);
ORVO_API bool ORVO_CDECL WriteRasterBound(const char* file_name, int32_t width, int32_t height,
                                          const BOUND* bound);
ORVO_API bool ORVO_CDECL IsRaster(const char* file_name);

/* ---- Rasters (guarded) -------------------------------------------------
 * OpenRaster opens a raster file for reading and writing, or read-only. The
 * first opener holds the file and shares it under a named mapping; later
 * openers, in this process or another, reach the same bytes through it and
 * see each other's writes. Views of the file are at most cache_mb megabytes
 * (0: just what each request needs; above 300: 300). A path that is no
 * raster file opens as the terrain tile set it lists (see OpenTawsesRaster).
 * Null when it is neither (or a damaged one). */
ORVO_API IRaster* ORVO_CDECL OpenRaster(const char* file_name, int32_t cache_mb, bool read_only);

/* ---- Transformed rasters ----------------------------------------------
 * OpenTransformedRaster (guarded): the raster with its transform (a tile
 * set's own georeference, else the ".corners" file), or null
 * when the raster does not open; a missing or unusable ".corners" file only
 * leaves it without transform. With a null raster or without transform the
 * others give false or null.
 * GetTransformationVectors writes the map positions and the pixel positions
 * of the four corner pixels (0,0), (W-1,0), (W-1,H-1), (0,H-1), 4 points
 * each (either may be null); GetRasterTransform (guarded) fits an affine
 * transform to them; GetRasterOrigin writes the map position of pixel (0,0);
 * GetRasterBoundary the rectangle around the four corners.
 * Get/SetTransformedRasterValue read or write the pixel nearest the map
 * position (x, y) (halves go to the higher column and row). */
ORVO_API ITransformedRaster* ORVO_CDECL OpenTransformedRaster(const char* file_name, bool read_only,
                                                              bool geo_corners);
ORVO_API bool ORVO_CDECL GetTransformationVectors(double* map_points, double* pixel_points,
                                                  ITransformedRaster* raster);
ORVO_API ITransform* ORVO_CDECL GetRasterTransform(ITransformedRaster* raster);
ORVO_API bool ORVO_CDECL GetRasterOrigin(double* origin, ITransformedRaster* raster);
ORVO_API bool ORVO_CDECL GetRasterBoundary(BOUND* bound, ITransformedRaster* raster);
ORVO_API bool ORVO_CDECL GetTransformedRasterValue(void* dst, ITransformedRaster* raster, double x,
                                                   double y);
ORVO_API bool ORVO_CDECL SetTransformedRasterValue(ITransformedRaster* raster, double x, double y,
                                                   const void* src);

/* ---- DEM access (guarded) ----------------------------------------------
 * A DEM is a transformed raster of signed 16-bit heights. A sample of 9998
 * stands for height 0; a sample above 9998 (9999) means no data.
 * OpenDem opens the raster read-only with its ".corners" transform; null
 * when it does not open, has no transform or its pixels are not 2 bytes.
 * The result (count 0) is given back with CloseDem, which ignores null.
 * DemHeight: the bilinear height at map position (x, y) from the 2 x 2
 * samples around it; a missing sample is replaced by its partner in each
 * blend, unweighted, so 9999.0 survives only where every contributing sample
 * is missing. 9999.0 also for a null DEM, a DEM whose pixels are not 2 bytes,
 * a position without pixel position, or one whose samples lie on no tile.
 * WrappedDemHeight: the same with columns taken modulo the width (the last
 * column's right neighbour is column 0); rows never wrap. */
ORVO_API ITransformedRaster* ORVO_CDECL OpenDem(const char* file_name);
ORVO_API double ORVO_CDECL DemHeight(ITransformedRaster* dem, double x, double y);
ORVO_API double ORVO_CDECL WrappedDemHeight(ITransformedRaster* dem, double x, double y);
ORVO_API void ORVO_CDECL CloseDem(ITransformedRaster* dem);

/* ---- Rasterization (never raise) ---------------------------------------
 * Triangles and segments with a height at each vertex, in map coordinates,
 * burnt into a transformed raster of signed 16-bit samples. False (nothing
 * written) for a null raster or argument, a raster without transform or
 * with pixels other than 2 bytes, heights or positions that are not finite,
 * and pixel positions beyond 1e15 in magnitude; true otherwise, also when
 * nothing fell on the raster. Heights beyond the 16-bit range are stored as
 * -32768 or 32767.
 * Triangles: points are three (x, y) pairs, heights three values in the same
 * order. The pixel centres (k + 0.5) inside the triangle get the linearly
 * interpolated height, rounded (floor(v + 0.5)); a centre on the left or top
 * edge of a scan span is left out, one on the right or bottom edge is in.
 * clip: null or two map points; the work is limited to their bounding box in
 * pixels, and false is returned when that box misses the triangle's. The
 * int32 arguments named reserved are ignored.
 * RasterizeTriangleBoundedMod: integer pixel positions (x, y) inside the
 * triangle, edges included, get the height of the plane through it.
 * RasterizeLineBounded samples the segment at 2 * max(ceil(length in
 * pixels), 1) + 1 evenly spaced points, heights truncated toward zero, each
 * written to its nearest pixel; clip: null or a map rectangle (minimum x,
 * minimum y, maximum x, maximum y; either corner order), points outside it
 * are skipped. mode 0 writes every point; 1 only above the existing sample,
 * 2 only below it, where an existing sample above 9998 is always replaced,
 * 9998 counts as 0 and a sample that cannot be read is left alone; other
 * modes are refused. */
ORVO_API bool ORVO_CDECL RasterizeTriangleBounded(ITransformedRaster* raster, int32_t reserved1,
                                                  int32_t reserved2, int32_t reserved3,
                                                  int32_t reserved4, int32_t reserved5,
                                                  const double* clip, const double* points,
                                                  const double* heights, int32_t reserved6);
ORVO_API bool ORVO_CDECL RasterizeTriangle(ITransformedRaster* raster, int32_t reserved1,
                                           int32_t reserved2, int32_t reserved3, int32_t reserved4,
                                           int32_t reserved5, const double* points,
                                           const double* heights, int32_t reserved6);
ORVO_API bool ORVO_CDECL RasterizeTriangleBoundedMod(ITransformedRaster* raster, int32_t reserved1,
                                                     int32_t reserved2, int32_t reserved3,
                                                     int32_t reserved4, int32_t reserved5,
                                                     const double* clip, const double* points,
                                                     const double* heights, int32_t reserved6);
ORVO_API bool ORVO_CDECL RasterizeLineBounded(ITransformedRaster* raster, const double* clip,
                                              const double* first, const double* second,
                                              double first_height, double second_height,
                                              int32_t mode);

/* ---- Terrain tiles ----------------------------------------------------
 * A terrain tile set is a tile list, a text file with one record a line:
 * "id, x1, y1, x2, y2, file name" (an optional seventh field is kept and
 * not used), the corners of the tile's rectangle in degrees (longitude,
 * latitude; any two opposite corners). Other lines are skipped; a file whose
 * first 100 lines hold no record is no list. A file name without folder lies
 * in the list's folder. Each ".taws" tile holds an n x n grid of signed
 * 16-bit heights (9999 no data, 9998 height 0) covering one degree square,
 * rows from north to south; its last row and column repeat the neighbours'
 * first. The set is a raster of (n - 1) x (n - 1) tiles over the rectangle
 * around all entries (its east edge rounded down and its south edge up to
 * whole degrees); cells without entry are absent tiles.
 * OpenTawsesRaster (guarded): the set as an ITaRaster (returned as IRaster);
 * a read-only set opens its tiles read-only and writes nothing. Null when the
 * list or its first tile does not load.
 * LoadTawsTransform (guarded): the set's pixel-to-map transform (degrees);
 * null when the path is no loadable list.
 * WriteTawsesBound (guarded) writes the control-point file list + ".corners"
 * for the set (as WriteRasterBound does); false when the set does not load.
 * ReadRasterHeadEx: ReadRasterHead for a raster file; for a tile list the
 * 264-byte raster head that describes the set (bytes 137 and up of buffer
 * are left as they were), returning 264; 0 when size is below 264 or the path
 * is neither. */
ORVO_API IRaster* ORVO_CDECL OpenTawsesRaster(const char* list_name, bool read_only);
ORVO_API ITransform* ORVO_CDECL LoadTawsTransform(const char* list_name);
ORVO_API bool ORVO_CDECL WriteTawsesBound(const char* list_name);
ORVO_API int32_t ORVO_CDECL ReadRasterHeadEx(const char* file_name, void* buffer, int32_t size);

/* ==== families are added above this line ==== */

/* ---- Image device contexts (never raise) ------------------------------
 * CreateImageDC: a memory device context holding a white 24-bit image of
 * width x height, rows top row first; null when a size is below 1 or the
 * image cannot be had. GetImageBitsDC: the first byte of the top row (pixels
 * blue, green, red; rows (width * 3 + 3) & ~3 bytes apart) with the size in
 * the outputs that are not null; null for a context that holds no 24-bit
 * top-down image. The pointer is valid until FreeImageDC. FreeImageDC deletes
 * the context and its image; false for other contexts. */
ORVO_API HDC ORVO_CDECL CreateImageDC(int32_t width, int32_t height);
ORVO_API void* ORVO_CDECL GetImageBitsDC(HDC dc, int32_t* width, int32_t* height, int32_t* stride);
ORVO_API bool ORVO_CDECL FreeImageDC(HDC dc);

/* ---- Text along lines (never raise) -----------------------------------
 * Points are device pixels, y down; angles are degrees counter-clockwise on
 * the screen (right 0, up 90); text is 8-bit with an explicit length.
 * Font2Logfont fills the record that recreates font in dc (no rotation).
 * DrawTextFromPoint writes angle * 10 (truncated) into the record's
 * escapement and orientation and draws the text from the point in a font
 * made from the record; the result is that of deleting that font (false for
 * a null record, text or point, a negative length or an angle that is no
 * number). DrawTextAlongLine does so along end - start (angle 0 when both
 * have the same y). DrawTextPolyline draws in color, transparent, the bottom
 * of the character cells on the line: in runs of characters along chords
 * that turn at the vertices, or with stretch each character spread evenly
 * over the whole line; text longer than the line runs on past its end. It is
 * false only for a null dc, text or points or a count or length below 1, and
 * restores the context's settings. CreateFontDC makes a font for the record
 * (null for a null record); FreeFontDC deletes it (false for a font still
 * selected or no font). */
ORVO_API void ORVO_CDECL Font2Logfont(HDC dc, LOGFONTA* record, HFONT font);
ORVO_API bool ORVO_CDECL DrawTextFromPoint(HDC dc, LOGFONTA* record, const char* text,
                                           int32_t length, const POINT* point, double angle);
ORVO_API bool ORVO_CDECL DrawTextAlongLine(HDC dc, LOGFONTA* record, const char* text,
                                           int32_t length, const POINT* start, const POINT* end);
ORVO_API bool ORVO_CDECL DrawTextPolyline(HDC dc, const char* text, int32_t length,
                                          const POINT* points, int32_t count, bool stretch,
                                          HFONT font, COLORREF color);
ORVO_API HFONT ORVO_CDECL CreateFontDC(const LOGFONTA* font);
ORVO_API bool ORVO_CDECL FreeFontDC(HFONT font);

/* ---- Palettes (guarded) -------------------------------------------------
 * Colours are red, green, blue triples. BuildPaletteRgb: count entries from
 * rgb (null: black), count 0..65536. LoadPalette (and DemHistogramm2Palette,
 * the same operation) reads a palette file ("palette_") or a histogram file
 * ("_hstgrmm", giving a 65536-entry grey DEM palette). DemValues2Palette: the
 * DEM palette of count 16-bit heights. SavePalette and SavePaletteRgb write a
 * palette file: true only when every byte was written; a file that could not
 * be completed is removed. Null results and false on any failure (a null
 * path or palette, a count outside 0..65536, a damaged file). */
ORVO_API IPalette* ORVO_CDECL BuildPaletteRgb(const uint8_t* rgb, int32_t count);
ORVO_API IPalette* ORVO_CDECL LoadPalette(const char* path);
ORVO_API IPalette* ORVO_CDECL DemHistogramm2Palette(const char* path);
ORVO_API IPalette* ORVO_CDECL DemValues2Palette(const uint16_t* values, int32_t count);
ORVO_API bool ORVO_CDECL SavePalette(const char* path, IPalette* palette);
ORVO_API bool ORVO_CDECL SavePaletteRgb(const char* path, const uint8_t* rgb, int32_t count);

/* ---- Scaling and drawing -------------------------------------------------
 * A window is w x h output pixels whose top-left pixel shows raster pixel
 * (x, y); scale below -1 reduces by -scale, -1..1 is one to one, above 1
 * enlarges by scale. Buffers are row-major, w pixels a row, the raster's
 * pixel size a pixel. RasterDownScale samples every -scale-th pixel from the
 * tiles (absent tiles leave the buffer as it was); RasterUpScale repeats
 * pixels, writing only the part the raster covers. Raster2Dc draws the
 * window into dc at (dc_x, dc_y) through the palette (null: grey for 1 and
 * 2-byte pixels, 3-byte pixels reversed) with the raster operation.
 * VisibleRect2/VisibleRect give the covered part in window pixels (false,
 * outputs untouched, when none is). RasterWindow2Map turns a window pixel
 * into a map position through the raster's pixel-to-map transform;
 * CreateMap2RasterWindowAffineTransform gives the transform from map
 * positions to window pixels (null for scale 0 or a failure). False or null
 * for null pointers and sizes below 1. RasterDownScale raises
 * "rasterUpScale. Error while execution" for any failure inside it; the
 * others pass on what the raster or the GDI raises. */
ORVO_API bool ORVO_CDECL RasterDownScale(void* dst, int32_t w, int32_t h, IRaster* raster,
                                         int32_t x, int32_t y, int32_t scale);
ORVO_API bool ORVO_CDECL RasterUpScale(void* dst, int32_t w, int32_t h, IRaster* raster, int32_t x,
                                       int32_t y, int32_t scale);
ORVO_API bool ORVO_CDECL Raster2Dc(HDC dc, int32_t dc_x, int32_t dc_y, int32_t w, int32_t h,
                                   IRaster* raster, int32_t x, int32_t y, int32_t scale,
                                   IPalette* palette, uint32_t rop);
ORVO_API bool ORVO_CDECL VisibleRect2(int32_t raster_width, int32_t raster_height, int32_t x,
                                      int32_t y, int32_t scale, int32_t w, int32_t h, int32_t* vx,
                                      int32_t* vy, int32_t* vw, int32_t* vh);
ORVO_API bool ORVO_CDECL VisibleRect(IRaster* raster, int32_t x, int32_t y, int32_t scale,
                                     int32_t w, int32_t h, int32_t* vx, int32_t* vy, int32_t* vw,
                                     int32_t* vh);
ORVO_API bool ORVO_CDECL RasterWindow2Map(double* point, int32_t window_x, int32_t window_y,
                                          int32_t x, int32_t y, int32_t scale,
                                          ITransform* transform);
ORVO_API ITransform* ORVO_CDECL CreateMap2RasterWindowAffineTransform(ITransform* transform,
                                                                      int32_t x, int32_t y,
                                                                      int32_t scale);

/* ---- Raster views (guarded) ---------------------------------------------
 * OpenRasterView: the widest raster file named like path with any extension
 * in path's folder, with the narrower ones as previews when their width and
 * height are reduced by the same whole factor and their pixel size is the
 * same (one file a width, the first found); null when none opens.
 * IsRasterPreviewPresent: true when that folder holds more than one raster
 * file of the stem. */
ORVO_API IRasterView* ORVO_CDECL OpenRasterView(const char* path);
ORVO_API bool ORVO_CDECL IsRasterPreviewPresent(const char* path);

/* ---- DEM histograms and DEM palettes (guarded) ---------------------------
 * Heights are signed 16-bit; a 65536-entry DEM palette is indexed by the raw
 * pixel value (height & 0xFFFF). 9998 stands for height 0, 9999 for no data.
 * BuildRasterHistogramm writes the histogram file of every tile's values
 * (padding of edge tiles included); false for a raster that is not 2 bytes
 * a pixel, a tile that cannot be read or a file that cannot be written whole
 * (no file is left then). CreateDemHistogramm: an empty histogram.
 * DemHisto2LimitedPalette greys the heights low..high (low above high
 * becomes high) linearly or, for more than 256 counted heights or a range
 * over 384, by equalisation of the histogram's counts (null: every height
 * counts once; with nothing counted but 0 the stretch is linear); heights
 * below get the below colour, those above up to 9997 the above colour.
 * DemHisto2CustomPalette leaves low..high black for the caller's SetColor,
 * below black and above white, and reads neither the histogram nor the last
 * three arguments. Both: 9998, 9999 and 10000 and up keep their colours;
 * entry 0 takes the zero colour. Colour pointers (red, green, blue) may be
 * null for the defaults: below (0,0,0), above (255,255,255), 9998 (0,0,255),
 * zero (0,255,0), 9999 (255,0,0), over (128,0,255). The palettes convert
 * 2-byte pixels only (Pixels2Dib of another format gives 0). */
ORVO_API bool ORVO_CDECL BuildRasterHistogramm(const char* path, IRaster* raster);
ORVO_API IDemHistogramm* ORVO_CDECL CreateDemHistogramm(void);
ORVO_API IPalette* ORVO_CDECL DemHisto2LimitedPalette(IDemHistogramm* histogram, int16_t low,
                                                      const uint8_t* below, int16_t high,
                                                      const uint8_t* above, const uint8_t* c9998,
                                                      const uint8_t* zero, const uint8_t* c9999,
                                                      const uint8_t* over);
ORVO_API IPalette* ORVO_CDECL DemHisto2CustomPalette(IDemHistogramm* histogram, int16_t low,
                                                     int16_t high, const uint8_t* c9998,
                                                     const uint8_t* zero, const uint8_t* c9999,
                                                     const uint8_t* over, void* reserved1,
                                                     void* reserved2, void* reserved3);

/* ---- PGM sign libraries (guarded) -----------------------------------------
 * OpenPgm reads the whole file: a 16-byte head, then sign records (32-bit
 * name length, the name, whose first record's begins with "Z", 32-bit body
 * length, a 40-byte sign head of hot-spot x, hot-spot y, width and height,
 * then a BMP image of 24 or 32 bits a pixel) up to the end of the file. Null
 * when it cannot be read, holds no record or a record does not fit. */
ORVO_API IPgm* ORVO_CDECL OpenPgm(const char* path);

#ifdef __cplusplus
}
#endif

#endif /* ORVOAPI_H_ */
