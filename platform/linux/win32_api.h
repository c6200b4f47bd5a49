// Linux declarations of the Windows API subset the library uses. Names, types,
// constants and error codes are those of Windows; the implementations live in
// the files of this folder, one service each. Everything here sets the last
// error exactly where Windows does for the cases the library and its tests
// rely on, and never throws.
#ifndef PLATFORM_LINUX_WIN32_API_H_
#define PLATFORM_LINUX_WIN32_API_H_

#include <cstddef>
#include <cstdint>

#include "orvoapi.h"

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef uint32_t UINT;
typedef DWORD LCID;
typedef void* HANDLE;
typedef void* HMODULE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef LONG* PLONG;
typedef BYTE* LPBYTE;
typedef intptr_t (*FARPROC)();

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define MAX_PATH 260

// Access rights, share modes, creation dispositions, attributes.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

// File pointer and size.
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)

// File mappings.
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define FILE_MAP_COPY 0x0001
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define FILE_MAP_ALL_ACCESS 0x000F001F

// Waiting and processes.
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259

// Locales.
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define LCMAP_LOWERCASE 0x00000100
#define LCMAP_UPPERCASE 0x00000200

// The error codes the library and its tests rely on (GetLastError).
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_SEEK_ON_DEVICE 132L
#define ERROR_BUSY 170L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_FILE_TOO_LARGE 223L
#define ERROR_DIRECTORY 267L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_NOACCESS 998L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_FILE_INVALID 1006L
#define ERROR_IO_DEVICE 1117L
#define ERROR_MAPPED_ALIGNMENT 1132L
#define ERROR_USER_MAPPED_FILE 1224L
#define ERROR_CANT_RESOLVE_FILENAME 1921L

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// Handles are synchronous: an OVERLAPPED only gives ReadFile/WriteFile the
// position to start at (Offset/OffsetHigh), as on Windows for a handle opened
// without FILE_FLAG_OVERLAPPED; hEvent is not used.
typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

typedef struct _SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;  // 65,536, as on Windows
  WORD wProcessorLevel;
  WORD wProcessorRevision;
} SYSTEM_INFO, *LPSYSTEM_INFO;

typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME;

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// --- last error (errors.cc): per thread, as on Windows.
DWORD GetLastError();
void SetLastError(DWORD code);

// --- handles (handles.cc)
// Closes a file, mapping, process or thread handle; a find handle, a closed
// handle or a made-up value fails with ERROR_INVALID_HANDLE instead of
// touching anything. INVALID_HANDLE_VALUE (the current-process pseudo-handle)
// is accepted and ignored. Safe to call from any thread.
BOOL CloseHandle(HANDLE handle);

// --- files (files.cc)
// Paths: '\' and '/' both separate, so a backslash cannot be part of a name;
// names with * ? < > | " fail with ERROR_INVALID_NAME.
// Share modes are enforced between all handles of this layer, in this process
// and in others, including ERROR_SHARING_VIOLATION for a second handle of the
// same process. A handle without GENERIC_READ/GENERIC_WRITE neither checks
// nor blocks. Success sets the last error to ERROR_ALREADY_EXISTS when
// CREATE_ALWAYS or OPEN_ALWAYS found the file, else to 0. Directories fail
// with ERROR_ACCESS_DENIED, as does TRUNCATE_EXISTING without GENERIC_WRITE.
// flags_and_attributes, security and template_file are not used.
HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES security, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file);
// Reads up to bytes_to_read bytes; at end of file TRUE with 0 bytes. With an
// OVERLAPPED, reads at its offset and leaves the pointer after the bytes read;
// there, end of file is FALSE with ERROR_HANDLE_EOF. Needs GENERIC_READ.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
              LPOVERLAPPED overlapped);
// Writes all bytes or fails (ERROR_DISK_FULL when the disk fills up). Needs
// GENERIC_WRITE.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes_to_write, LPDWORD bytes_written,
               LPOVERLAPPED overlapped);
// Moves the pointer; returns its new low part (high part in *distance_high).
// A negative target fails with ERROR_NEGATIVE_SEEK and moves nothing; a target
// beyond 4 GiB without distance_high fails with ERROR_INVALID_PARAMETER. A
// result of INVALID_SET_FILE_POINTER that is a real position sets the last
// error to 0.
DWORD SetFilePointer(HANDLE file, LONG distance_low, PLONG distance_high, DWORD move_method);
// Cuts or extends the file at the pointer. Fails with ERROR_USER_MAPPED_FILE
// when it would cut a file below the size of a mapping that has a view in this
// process.
BOOL SetEndOfFile(HANDLE file);
// The size's low part (high part in *file_size_high). INVALID_FILE_SIZE is a
// real size when the last error is 0.
DWORD GetFileSize(HANDLE file, LPDWORD file_size_high);
// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when missing, ERROR_ACCESS_DENIED
// for a directory, ERROR_SHARING_VIOLATION while a handle on the file does not
// share delete. The name goes at once, even while shared handles stay open.
BOOL DeleteFileA(LPCSTR file_name);

// --- mappings (mapping.cc)
// file: a file handle, or INVALID_HANDLE_VALUE for memory (size required).
// A size of 0 is the file's size (ERROR_FILE_INVALID for an empty file); a
// larger read-write size grows the file. A name already in use, in any
// process, returns that mapping (its own size and file) with
// ERROR_ALREADY_EXISTS; otherwise success sets the last error to 0. A name
// lives while handles to it are open anywhere; views keep only the bytes.
// Names are those of the session namespace ("Local\" and "Global\" prefixes
// allowed; another backslash fails with ERROR_PATH_NOT_FOUND).
HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect,
                          DWORD maximum_size_high, DWORD maximum_size_low, LPCSTR name);
// ERROR_FILE_NOT_FOUND when no handle to the name is open, including names
// left by a process that died. The backing file is reached directly, whatever
// share mode its creator holds; it must still exist under the path it had
// when the mapping was created.
HANDLE OpenFileMappingA(DWORD desired_access, BOOL inherit_handle, LPCSTR name);
// Offsets are multiples of 65,536 (else ERROR_MAPPED_ALIGNMENT); 0 bytes maps
// to the end of the mapping; a view past the end fails (ERROR_ACCESS_DENIED,
// or ERROR_INVALID_PARAMETER for an offset at or past it). Write access needs
// a read-write mapping and a handle opened for writing. A view keeps its
// mapping's bytes after the mapping handle closes.
LPVOID MapViewOfFile(HANDLE mapping, DWORD desired_access, DWORD offset_high, DWORD offset_low,
                     SIZE_T bytes_to_map);
// Any address inside a view unmaps it; another address fails with
// ERROR_INVALID_ADDRESS.
BOOL UnmapViewOfFile(LPCVOID base_address);
// Writes the view's changed bytes to the file and waits for it; 0 bytes means
// to the end of the view.
BOOL FlushViewOfFile(LPCVOID base_address, SIZE_T bytes_to_flush);
// Page size, allocation granularity (65,536) and processor count.
void GetSystemInfo(LPSYSTEM_INFO system_info);

// --- processes (process.cc)
// Splits command_line by the Microsoft C runtime's rules. The program (the
// first word, unless application_name is given) is a path relative to this
// process's directory when it has a separator, else searched for in PATH;
// nothing starts when it is missing (ERROR_FILE_NOT_FOUND) or not runnable
// (ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT). current_directory must exist
// (else ERROR_DIRECTORY). The child gets this environment (or the given block)
// and the standard streams; no other handle is inherited and creation flags
// and startup information are not used. Both returned handles must be closed;
// the ids are the Linux process id.
BOOL CreateProcessA(LPCSTR application_name, LPSTR command_line,
                    LPSECURITY_ATTRIBUTES process_attributes,
                    LPSECURITY_ATTRIBUTES thread_attributes, BOOL inherit_handles,
                    DWORD creation_flags, LPVOID environment, LPCSTR current_directory,
                    LPSTARTUPINFOA startup_info, LPPROCESS_INFORMATION process_information);
// Process and thread handles: WAIT_OBJECT_0 once the child has ended (any
// number of times), WAIT_TIMEOUT before; milliseconds may be 0 or INFINITE.
// File handles are always signalled; mapping handles fail with
// ERROR_ACCESS_DENIED.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// STILL_ACTIVE while the child runs, then its exit status (0-255), or 128 +
// the signal number for a child killed by a signal.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exit_code);

// --- directory search (find.cc)
// "dir\mask" or "dir/mask" with '*' and '?', matched regardless of ASCII
// case; "." and ".." are listed when the mask matches them. No match:
// ERROR_FILE_NOT_FOUND; missing directory: ERROR_PATH_NOT_FOUND. Names
// starting with '.' carry FILE_ATTRIBUTE_HIDDEN, files without write
// permission FILE_ATTRIBUTE_READONLY.
HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data);
// FALSE with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFileA(HANDLE find_file, LPWIN32_FIND_DATAA find_data);
// Only for find handles (else ERROR_INVALID_HANDLE).
BOOL FindClose(HANDLE find_file);

// --- locale (locale.cc): the Windows-1252 code page's case mapping in every
// locale. map_flags is LCMAP_LOWERCASE or LCMAP_UPPERCASE (else
// ERROR_INVALID_FLAGS); src_length -1 includes the terminating NUL; a
// dest_length of 0 returns the length needed; too small a buffer fails with
// ERROR_INSUFFICIENT_BUFFER. src and dest may be the same buffer.
int LCMapStringA(LCID locale, DWORD map_flags, LPCSTR src, int src_length, LPSTR dest,
                 int dest_length);

// --- modules (module.cc): used by host programs and tests to load the
// library. Names follow the dynamic loader's search rules; no ".dll" is
// added. ERROR_MOD_NOT_FOUND for a missing module or a handle not from
// LoadLibraryA, ERROR_BAD_EXE_FORMAT for a file that is no library,
// ERROR_PROC_NOT_FOUND for a missing symbol (ordinals included).
HMODULE LoadLibraryA(LPCSTR file_name);
FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name);
BOOL FreeLibrary(HMODULE module);

// --- GDI (gdi_objects.cc, gdi_dib.cc, gdi_blit.cc): a software GDI of
// memory device contexts and 24-bit DIB sections, enough for off-screen
// drawing. GDI handles are a namespace of their own (CloseHandle refuses
// them). There is no screen: every device context is a memory one.

// The handle and value types that hosts see too (HDC, HFONT, COLORREF,
// POINT, LOGFONTA) and the four raster operations the library draws with
// come from the public header, so that both sides always agree.

typedef void* HGDIOBJ;
typedef struct HBITMAP__* HBITMAP;
typedef POINT* LPPOINT;

#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r)) | ((COLORREF)((BYTE)(g)) << 8) | ((COLORREF)((BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)((c) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

#define BI_RGB 0L
#define DIB_RGB_COLORS 0

// Raster operations: the ternary operation index in bits 16-23 (bit
// P*4 + S*2 + D of the index is the result for pattern, source and
// destination bits P, S, D).
// SRCCOPY, SRCPAINT, SRCAND and SRCINVERT: include/orvoapi.h.
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define NOTSRCERASE 0x001100A6u
#define MERGEPAINT 0x00BB0226u
#define PATCOPY 0x00F00021u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER;

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO;

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  void* bmBits;
} BITMAP;

typedef struct tagDIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
} DIBSECTION;

#define OBJ_BITMAP 7

// A new memory device context holding the initial bitmap, a 1 x 1 stock
// bitmap shared by every new context. dc: null or a device context (whose
// format it would copy; all are alike here).
HDC CreateCompatibleDC(HDC dc);
// Deletes the context; the bitmap it held is no longer selected anywhere and
// can be deleted or selected elsewhere.
BOOL DeleteDC(HDC dc);
// Selects a bitmap or a font into the context and returns the one it held,
// or null (nothing changes) for a bad handle or a bitmap selected into
// another context. A bitmap can be selected into one context at a time; the stock
// bitmap into any number.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a bitmap and frees its pixels. FALSE, and nothing happens, for a
// bitmap selected into a context and for a bad handle; TRUE without effect
// for the stock bitmap.
BOOL DeleteObject(HGDIOBJ object);
// A DIB section of bmiHeader.biWidth x |biHeight| pixels, 24 bits a pixel
// (BI_RGB, one plane, rows of (width * 3 + 3) & ~3 bytes, pixels blue, green,
// red), zero-filled; a negative biHeight stores the top row first, a positive
// one the bottom row first. *bits receives the pixels (when bits is not
// null). Other formats, usages, a section handle or sizes below 1 fail with
// ERROR_INVALID_PARAMETER; more than 2^31 bytes of pixels with
// ERROR_NOT_ENOUGH_MEMORY. dc is not used.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// Combines the w x h rectangle at (src_x, src_y) of src's bitmap with the one
// at (x, y) of dst's bitmap by the raster operation, clipped to both bitmaps
// (pixels outside either are left alone). Negative extents are taken from
// the other side. The pattern is the default white brush. src may be null
// for operations that do not read it. Overlapping rectangles of one bitmap
// are read before they are written.
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int src_x, int src_y, DWORD rop);
// The object of that type selected into the context (OBJ_BITMAP or
// OBJ_FONT). Null for a bad context or another type.
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
// Describes a bitmap: a DIB section fills a DIBSECTION when size allows
// (biHeight is reported positive whatever the row order, as Windows does),
// otherwise a BITMAP; the stock bitmap is a 1 x 1 one-bit BITMAP. Returns the
// bytes written, or with a null buffer the size of the full description; 0
// for a bad handle or a buffer too small for a BITMAP.
int GetObjectA(HGDIOBJ object, int size, void* buffer);
// Drawing is never batched here; always TRUE.
BOOL GdiFlush();

// --- GDI text (gdi_font.cc, gdi_text.cc): outline fonts through FreeType,
// faces found by fontconfig. Arial, Times New Roman and Courier New are
// Liberation Sans, Serif and Mono; any other name is fontconfig's best match.
// 8-bit text is Windows-1252. Every context starts with Windows' defaults:
// black text on an opaque white background, left|top alignment and the
// stock font (Liberation Sans, 16 pixels a cell).

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *LPSIZE;

typedef struct _ABC {
  int abcA;
  UINT abcB;
  int abcC;
} ABC, *LPABC;

typedef struct tagTEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICA, *LPTEXTMETRICA;

#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_ONLY_PRECIS 7
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
// tmPitchAndFamily bits; TMPF_FIXED_PITCH set means a variable pitch.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define TRANSPARENT 1
#define OPAQUE 2
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24
#define GDI_ERROR 0xFFFFFFFFu
#define CLR_INVALID 0xFFFFFFFFu
#define OBJ_FONT 6

// A font for the record; null (ERROR_INVALID_PARAMETER) for a null record.
// lfHeight < 0 is the character height, > 0 the cell height, 0 the default
// (16 pixels a cell); lfEscapement (tenths of a degree, counter-clockwise)
// turns the text. Fonts are deleted with DeleteObject (FALSE while selected
// into a context) and selected with SelectObject into any number of contexts.
HFONT CreateFontIndirectA(const LOGFONTA* font);
// The selected font's metrics; TMPF_TRUETYPE and TMPF_VECTOR are always set.
BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
// The face actually used. With a null name the length needed (with its NUL);
// else at most size - 1 characters and a NUL, returning those copied with it.
int GetTextFaceA(HDC dc, int size, LPSTR name);
BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, LPABC widths);
BOOL GetCharWidth32A(HDC dc, UINT first, UINT last, int* widths);
// cx: the sum of the advances; cy: the cell height.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size);
// Each returns the previous value; 0, GDI_ERROR or CLR_INVALID for a bad
// context or value.
int SetBkMode(HDC dc, int mode);
UINT SetTextAlign(HDC dc, UINT align);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
int GetBkMode(HDC dc);
UINT GetTextAlign(HDC dc);
COLORREF GetTextColor(HDC dc);
// Draws anti-aliased text at (x, y) by the alignment, turned by the font's
// escapement, into the selected image, clipped to it; opaque mode fills the
// character cells with the background colour first.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);

#endif  // PLATFORM_LINUX_WIN32_API_H_
