/* Compiled as C: the public header is valid C, and interface slots can be
 * called through the C view of an object (a pointer to a table of stdcall
 * function pointers, AddRef in slot 0 and Release in slot 1). */
#include "orvoapi.h"

int32_t OrvoCAddRef(IApiObject* object) { return object->lpVtbl->AddRef(object); }

int32_t OrvoCRelease(IApiObject* object) { return object->lpVtbl->Release(object); }

int OrvoCBoundSize(void) { return (int)sizeof(BOUND); }
