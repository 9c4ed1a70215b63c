// Property reads and writes by DISPID. Index arguments of an indexed property
// are declared and defined beforehand with the method argument exports; the
// reader or writer consumes them.
#include <windows.h>

#include <oaidl.h>

#include "tarvik/automation/argument_value.h"
#include "tarvik/automation/property_writer.h"
#include "tarvik/automation/result_reader.h"
#include "tarvik/frame/conversions.h"
#include "tarvik/frame/export_boundary.h"

using tarvik::ArgumentValue;
using tarvik::HostDate;
using tarvik::HostVariant;
using tarvik::SAutoClient;
using tarvik::ServerCall;
using tarvik::WithClient;
using tarvik::WriteProperty;

namespace {

ServerCall Getter(const char* operation, DISPID dispid) {
  return ServerCall{operation, dispid, DISPATCH_PROPERTYGET};
}

}  // namespace

// --- Readers -----------------------------------------------------------------

extern "C" int WINAPI GetAutoClientBoolProperty(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadBool(client, Getter("GetBoolProperty", dispid));
  });
}

extern "C" int WINAPI GetAutoClientCurrencyProperty(int handle, DISPID dispid, char* buffer) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadCurrency(client, Getter("GetCurrencyProperty", dispid), buffer);
  });
}

extern "C" HostDate WINAPI GetAutoClientDateProperty(int handle, DISPID dispid) {
  return WithClient(handle, HostDate{0}, [&](SAutoClient& client) {
    return tarvik::ReadDate(client, Getter("GetDateProperty", dispid));
  });
}

extern "C" IDispatch* WINAPI GetAutoClientLPDispatchProperty(int handle, DISPID dispid) {
  return WithClient(handle, static_cast<IDispatch*>(nullptr), [&](SAutoClient& client) {
    return tarvik::ReadDispatch(client, Getter("GetLPDispatchProperty", dispid));
  });
}

extern "C" int WINAPI GetAutoClientRealProperty(int handle, DISPID dispid, char* buffer) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadReal(client, Getter("GetDoubleProperty", dispid), buffer);
  });
}

extern "C" int WINAPI GetAutoClientShortRealProperty(int handle, DISPID dispid, char* buffer) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadShortReal(client, Getter("GetFloatProperty", dispid), buffer);
  });
}

extern "C" int WINAPI GetAutoClientIntegerProperty(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadInteger(client, Getter("GetLongProperty", dispid));
  });
}

extern "C" int WINAPI GetAutoClientShortProperty(int handle, DISPID dispid) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return tarvik::ReadShort(client, Getter("GetShortProperty", dispid));
  });
}

extern "C" char* WINAPI GetAutoClientStringProperty(int handle, DISPID dispid) {
  return WithClient(handle, static_cast<char*>(nullptr), [&](SAutoClient& client) {
    return tarvik::ReadString(client, Getter("GetStringProperty", dispid));
  });
}

extern "C" HostVariant* WINAPI GetAutoClientOLEVariantProperty(int handle, DISPID dispid,
                                                               HostVariant* record) {
  return WithClient(handle, record, [&](SAutoClient& client) {
    return tarvik::ReadVariant(client, Getter("GetOLEVariantProperty", dispid), record);
  });
}

// --- Writers -----------------------------------------------------------------

extern "C" int WINAPI SetAutoClientBoolProperty(int handle, DISPID dispid, int value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    // Servers written for other clients test for VARIANT_TRUE, so a plain write
    // sends it for every true value; an indexed write keeps the Define rule.
    const int sent = client.Arguments().Empty() ? (value ? VARIANT_TRUE : VARIANT_FALSE) : value;
    tarvik::BoolToVariant(sent, argument.Get());
    return WriteProperty(client, "SetBoolProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientCurrencyProperty(int handle, DISPID dispid, const char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    if (FAILED(tarvik::CurrencyTextToVariant(text, argument.Get()))) return 0;
    return WriteProperty(client, "SetCurrencyProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientDateProperty(int handle, DISPID dispid, HostDate value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::DateToVariant(value, argument.Get());
    return WriteProperty(client, "SetDateProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientLPDispatchProperty(int handle, DISPID dispid, IDispatch* value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::DispatchToVariant(value, argument.Get());
    return WriteProperty(client, "SetLPDispatchProperty", dispid, argument,
                         DISPATCH_PROPERTYPUTREF);
  });
}

extern "C" int WINAPI SetAutoClientRealProperty(int handle, DISPID dispid, char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::RealTextToVariant(text, argument.Get());
    return WriteProperty(client, "SetDoubleProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientShortRealProperty(int handle, DISPID dispid, char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::ShortRealTextToVariant(text, argument.Get());
    return WriteProperty(client, "SetFloatProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientIntegerProperty(int handle, DISPID dispid, int value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::IntegerToVariant(value, argument.Get());
    return WriteProperty(client, "SetLongProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientShortProperty(int handle, DISPID dispid, int value) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    tarvik::ShortToVariant(value, argument.Get());
    return WriteProperty(client, "SetShortProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientStringProperty(int handle, DISPID dispid, const char* text) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    if (FAILED(tarvik::StringToVariant(text, argument.Get()))) return 0;
    return WriteProperty(client, "SetStringProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}

extern "C" int WINAPI SetAutoClientOLEVariantProperty(int handle, DISPID dispid,
                                                      HostVariant* record) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    ArgumentValue argument;
    if (FAILED(tarvik::HostVariantToVariant(record, argument.Get()))) return 0;
    return WriteProperty(client, "SetOLEVariantProperty", dispid, argument, DISPATCH_PROPERTYPUT);
  });
}
