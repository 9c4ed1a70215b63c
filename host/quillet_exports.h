// Quillet's exports as the host calls them: by name, through pointers of their
// exact types. On i686 they pass their first two arguments in registers.
#pragma once

#include "host/loaded_library.h"

#if defined(__i386__)
#define QUORVAN_HOST_FASTCALL __fastcall
#else
#define QUORVAN_HOST_FASTCALL
#endif

namespace quorvan::host {

using FormatDataFn = int(QUORVAN_HOST_FASTCALL*)(const void* value, int typeCode, int storageCode,
                                                 const char* mask, char* output, int outputSize,
                                                 int* isFalse, int editForm);
using ParseDataFn = int(QUORVAN_HOST_FASTCALL*)(void* destination, int typeCode, int storageCode,
                                                const char* mask, const char* text, int noValidate);
using GetClosestCharFn = int(QUORVAN_HOST_FASTCALL*)(HDC dc, const RECT* rect, const char* text,
                                                     int length, int x, int fromRight);
using SendEpochToQuilletFn = void(QUORVAN_HOST_FASTCALL*)(int enabled, int pivotYear);

struct QuilletExports {
  FormatDataFn formatData = nullptr;
  ParseDataFn parseData = nullptr;
  GetClosestCharFn getClosestChar = nullptr;
  SendEpochToQuilletFn sendEpochToQuillet = nullptr;

  explicit QuilletExports(const LoadedLibrary& quillet)
      : formatData(quillet.Export<FormatDataFn>("@FormatData@32")),
        parseData(quillet.Export<ParseDataFn>("@ParseData@24")),
        getClosestChar(quillet.Export<GetClosestCharFn>("@GetClosestChar@24")),
        sendEpochToQuillet(quillet.Export<SendEpochToQuilletFn>("@SendEpochToQuillet@8")) {}

  bool Complete() const { return formatData && parseData && getClosestChar && sendEpochToQuillet; }
};

}  // namespace quorvan::host
