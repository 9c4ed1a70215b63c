/* Compiled as C89, so the headers must stay within it, and without dllimport,
 * so the calls below go through the import libraries' thunks: the other way a
 * host binds (the rest of the program binds through the import address table).
 * Returns the number of calls that gave a wrong result. */
#define TARVIK_IMPORT
#define QUILLET_IMPORT

#include <string.h>
#include <windows.h>

#include "quillet.h"
#include "tarvik.h"

int CallThroughThunks(void);

int CallThroughThunks(void) {
  int wrong = 0;
  short number = 0;
  short parsed = 0;
  char text[16];
  BSTR wide = GetBstrFromString("thunk");
  char* narrow = GetStringFromBstr(wide);

  if (narrow == NULL || strcmp(narrow, "thunk") != 0) ++wrong;
  if (narrow != NULL) HeapFree(GetProcessHeap(), 0, narrow);
  SysFreeString(wide);

  number = -7;
  memset(text, 0, sizeof text);
  if (FormatData(&number, QUILLET_TYPE_NUMBER, QUILLET_STORE_INT16, "0", text, sizeof text, NULL,
                 0) != 2 ||
      strcmp(text, "-7") != 0)
    ++wrong;
  if (ParseData(&parsed, QUILLET_TYPE_NUMBER, QUILLET_STORE_INT16, "0", text, 0) != 0 ||
      parsed != -7)
    ++wrong;
  return wrong;
}
