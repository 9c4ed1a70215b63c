// Method calls from the host: declare how many arguments the next call carries,
// define them in the order of the method's signature, then invoke the method
// with the export of the wanted result type.
#include <windows.h>

#include <oaidl.h>

#include <cstdint>

#include "tarvik/automation/argument_value.h"
#include "tarvik/automation/dispatch_call.h"
#include "tarvik/automation/result_reader.h"
#include "tarvik/frame/conversions.h"
#include "tarvik/frame/export_boundary.h"

using tarvik::ArgumentValue;
using tarvik::ExportBoundary;
using tarvik::HostDate;
using tarvik::HostVariant;
using tarvik::SAutoClient;
using tarvik::ServerCall;
using tarvik::WithClient;

namespace {

// The list takes the value over when a slot is free; otherwise the value is
// dropped (a BSTR made for it freed) and the host learns of it from the 0.
int Define(SAutoClient& client, ArgumentValue& value) {
  if (!client.Arguments().Define(*value.Get())) return 0;
  value.Disown();
  return 1;
}

ServerCall Method(const char* operation, DISPID dispid) {
  return ServerCall{operation, dispid, DISPATCH_METHOD};
}

}  // namespace

extern "C" int WINAPI DeclareAutoClientInvokeParams(int handle, int count) {
  return WithClient(handle, 0,
                    [&](SAutoClient& client) { return client.Arguments().Declare(count) ? 1 : 0; });
}

// --- Define ------------------------------------------------------------------

extern "C" int WINAPI DefineAutoClientBoolParam(int handle, int value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::BoolToVariant(value, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientCurrencyParam(int handle, const char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    if (FAILED(tarvik::CurrencyTextToVariant(text, argument.Get()))) return 0;
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientDateParam(int handle, HostDate value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::DateToVariant(value, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientRealParam(int handle, char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::RealTextToVariant(text, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientShortRealParam(int handle, char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::ShortRealTextToVariant(text, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientIntegerParam(int handle, int value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::IntegerToVariant(value, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientShortParam(int handle, int value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::ShortToVariant(value, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientLPDispatchParam(int handle, IDispatch* value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::DispatchToVariant(value, argument.Get());
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientStringParam(int handle, const char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    if (FAILED(tarvik::StringToVariant(text, argument.Get()))) return 0;
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientOLEVariantParam(int handle, HostVariant* record) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    if (FAILED(tarvik::HostVariantToVariant(record, argument.Get()))) return 0;
    return Define(client, argument);
  });
}

extern "C" int WINAPI DefineAutoClientBstrPtrParam(int handle, BSTR* variable) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    // A server writes through the pointer: a null one would crash it.
    if (!variable) return 0;
    ArgumentValue argument;
    tarvik::BstrPtrToVariant(variable, argument.Get());
    return Define(client, argument);
  });
}

// --- Invoke ------------------------------------------------------------------

extern "C" int WINAPI InvokeAutoClientVoidFunction(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    if (tarvik::BeginClientCall(client)) {
      tarvik::CallWithPendingArguments(client, "InvokeVoidFunction", dispid, DISPATCH_METHOD,
                                       nullptr);
    }
    return 1;
  });
}

extern "C" int WINAPI InvokeAutoClientBoolFunction(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadBool(client, Method("InvokeBoolFunction", dispid));
  });
}

extern "C" int WINAPI InvokeAutoClientCurrencyFunction(int handle, DISPID dispid, char* buffer) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadCurrency(client, Method("InvokeCurrencyFunction", dispid), buffer);
  });
}

extern "C" HostDate WINAPI InvokeAutoClientDateFunction(int handle, DISPID dispid) {
  return WithClient(handle, HostDate{0}, [&](SAutoClient& client) {
    return tarvik::ReadDate(client, Method("InvokeDateFunction", dispid));
  });
}

extern "C" IDispatch* WINAPI InvokeAutoClientLPDispatchFunction(int handle, DISPID dispid) {
  return WithClient(handle, static_cast<IDispatch*>(nullptr), [&](SAutoClient& client) {
    return tarvik::ReadDispatch(client, Method("InvokeLPDispatchFunction", dispid));
  });
}

extern "C" int WINAPI InvokeAutoClientRealFunction(int handle, DISPID dispid, char* buffer) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadReal(client, Method("InvokeDoubleFunction", dispid), buffer);
  });
}

extern "C" int WINAPI InvokeAutoClientShortRealFunction(int handle, DISPID dispid, char* buffer) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadShortReal(client, Method("InvokeFloatFunction", dispid), buffer);
  });
}

extern "C" int WINAPI InvokeAutoClientIntegerFunction(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadInteger(client, Method("InvokeLongFunction", dispid));
  });
}

extern "C" int WINAPI InvokeAutoClientShortFunction(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadShort(client, Method("InvokeShortFunction", dispid));
  });
}

extern "C" char* WINAPI InvokeAutoClientStringFunction(int handle, DISPID dispid) {
  return WithClient(handle, static_cast<char*>(nullptr), [&](SAutoClient& client) {
    return tarvik::ReadString(client, Method("InvokeStringFunction", dispid));
  });
}

extern "C" HostVariant* WINAPI InvokeAutoClientOLEVariantFunction(int handle, DISPID dispid,
                                                                  HostVariant* record) {
  return ExportBoundary(record, [&]() -> HostVariant* {
    SAutoClient* client = tarvik::TheApp().FindClient(handle);
    if (!client) {
      if (record) record->type = VT_EMPTY;
      return record;
    }
    return tarvik::ReadVariant(*client, Method("InvokeOLEVariantFunction", dispid), record);
  });
}
