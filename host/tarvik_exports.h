// Tarvik's exports as the host calls them: by name, through pointers of their
// exact types. All are standard-call functions but ReleaseComPtr.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>

#include "host/loaded_library.h"
#include "tarvik/frame/host_variant.h"

namespace quorvan::host {

using QvOleInitFn = int(WINAPI*)();
using QvOleUninitFn = int(WINAPI*)();
using CreateAutomationClientFn = int(WINAPI*)();
using DestroyAutomationClientFn = int(WINAPI*)(int handle);
using SetSilentErrorModeFn = int(WINAPI*)(int handle, int mode);
using GetQuorvanLastErrorFn = int(WINAPI*)(int handle, char* buffer, int size);
using CreateAutoClientDispatchFn = int(WINAPI*)(int handle, const char* progId);
using AttachAutoClientDispatchFn = int(WINAPI*)(int handle, IDispatch* dispatch, int addRef);
using AttachAutoClientActiveObjectFn = int(WINAPI*)(int handle, const char* clsid);
using ReleaseAutoClientDispatchFn = int(WINAPI*)(int handle);
using GetAutoClientDispatchFn = IDispatch*(WINAPI*)(int handle);
using IsInterfaceSupportedFn = int(WINAPI*)(int handle, const char* iid);

// Text helpers: the BSTR is not freed; the block is the host's (process heap).
using GetStringFromBstrFn = char*(WINAPI*)(BSTR text);
using GetBstrFromStringFn = BSTR(WINAPI*)(const char* text);

struct TarvikExports {
  QvOleInitFn qvOleInit = nullptr;
  QvOleUninitFn qvOleUninit = nullptr;
  CreateAutomationClientFn createAutomationClient = nullptr;
  DestroyAutomationClientFn destroyAutomationClient = nullptr;
  SetSilentErrorModeFn setSilentErrorMode = nullptr;
  GetQuorvanLastErrorFn getQuorvanLastError = nullptr;
  CreateAutoClientDispatchFn createAutoClientDispatch = nullptr;
  AttachAutoClientDispatchFn attachAutoClientDispatch = nullptr;
  AttachAutoClientActiveObjectFn attachAutoClientActiveObject = nullptr;
  ReleaseAutoClientDispatchFn releaseAutoClientDispatch = nullptr;
  GetAutoClientDispatchFn getAutoClientDispatch = nullptr;
  IsInterfaceSupportedFn isInterfaceSupported = nullptr;

  explicit TarvikExports(const LoadedLibrary& tarvik)
      : qvOleInit(tarvik.Export<QvOleInitFn>("QvOleInit")),
        qvOleUninit(tarvik.Export<QvOleUninitFn>("QvOleUninit")),
        createAutomationClient(tarvik.Export<CreateAutomationClientFn>("CreateAutomationClient")),
        destroyAutomationClient(
            tarvik.Export<DestroyAutomationClientFn>("DestroyAutomationClient")),
        setSilentErrorMode(tarvik.Export<SetSilentErrorModeFn>("SetSilentErrorMode")),
        getQuorvanLastError(tarvik.Export<GetQuorvanLastErrorFn>("GetQuorvanLastError")),
        createAutoClientDispatch(
            tarvik.Export<CreateAutoClientDispatchFn>("CreateAutoClientDispatch")),
        attachAutoClientDispatch(
            tarvik.Export<AttachAutoClientDispatchFn>("AttachAutoClientDispatch")),
        attachAutoClientActiveObject(
            tarvik.Export<AttachAutoClientActiveObjectFn>("AttachAutoClientActiveObject")),
        releaseAutoClientDispatch(
            tarvik.Export<ReleaseAutoClientDispatchFn>("ReleaseAutoClientDispatch")),
        getAutoClientDispatch(tarvik.Export<GetAutoClientDispatchFn>("GetAutoClientDispatch")),
        isInterfaceSupported(tarvik.Export<IsInterfaceSupportedFn>("IsInterfaceSupported")) {}

  bool Complete() const {
    return qvOleInit && qvOleUninit && createAutomationClient && destroyAutomationClient &&
           setSilentErrorMode && getQuorvanLastError && createAutoClientDispatch &&
           attachAutoClientDispatch && attachAutoClientActiveObject && releaseAutoClientDispatch &&
           getAutoClientDispatch && isInterfaceSupported;
  }
};

// Method calls and property access. Texts the library returns are process-heap
// blocks the host frees; a record's string block passes to the library.
using DeclareAutoClientInvokeParamsFn = int(WINAPI*)(int handle, int count);
using DefineAutoClientBoolParamFn = int(WINAPI*)(int handle, int value);
using DefineAutoClientCurrencyParamFn = int(WINAPI*)(int handle, const char* text);
using DefineAutoClientDateParamFn = int(WINAPI*)(int handle, std::uint32_t date);
using DefineAutoClientRealParamFn = int(WINAPI*)(int handle, char* text);
using DefineAutoClientShortRealParamFn = int(WINAPI*)(int handle, char* text);
using DefineAutoClientIntegerParamFn = int(WINAPI*)(int handle, int value);
using DefineAutoClientShortParamFn = int(WINAPI*)(int handle, int value);
using DefineAutoClientLPDispatchParamFn = int(WINAPI*)(int handle, IDispatch* value);
using DefineAutoClientStringParamFn = int(WINAPI*)(int handle, const char* text);
using DefineAutoClientOLEVariantParamFn = int(WINAPI*)(int handle, tarvik::HostVariant* record);
using DefineAutoClientBstrPtrParamFn = int(WINAPI*)(int handle, BSTR* variable);
using InvokeAutoClientVoidFunctionFn = int(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientBoolFunctionFn = int(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientCurrencyFunctionFn = int(WINAPI*)(int handle, DISPID dispid, char* buffer);
using InvokeAutoClientDateFunctionFn = std::uint32_t(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientLPDispatchFunctionFn = IDispatch*(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientRealFunctionFn = int(WINAPI*)(int handle, DISPID dispid, char* buffer);
using InvokeAutoClientShortRealFunctionFn = int(WINAPI*)(int handle, DISPID dispid, char* buffer);
using InvokeAutoClientIntegerFunctionFn = int(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientShortFunctionFn = int(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientStringFunctionFn = char*(WINAPI*)(int handle, DISPID dispid);
using InvokeAutoClientOLEVariantFunctionFn =
    tarvik::HostVariant*(WINAPI*)(int handle, DISPID dispid, tarvik::HostVariant* record);
using GetAutoClientBoolPropertyFn = int(WINAPI*)(int handle, DISPID dispid);
using GetAutoClientCurrencyPropertyFn = int(WINAPI*)(int handle, DISPID dispid, char* buffer);
using GetAutoClientDatePropertyFn = std::uint32_t(WINAPI*)(int handle, DISPID dispid);
using GetAutoClientLPDispatchPropertyFn = IDispatch*(WINAPI*)(int handle, DISPID dispid);
using GetAutoClientRealPropertyFn = int(WINAPI*)(int handle, DISPID dispid, char* buffer);
using GetAutoClientShortRealPropertyFn = int(WINAPI*)(int handle, DISPID dispid, char* buffer);
using GetAutoClientIntegerPropertyFn = int(WINAPI*)(int handle, DISPID dispid);
using GetAutoClientShortPropertyFn = int(WINAPI*)(int handle, DISPID dispid);
using GetAutoClientStringPropertyFn = char*(WINAPI*)(int handle, DISPID dispid);
using GetAutoClientOLEVariantPropertyFn =
    tarvik::HostVariant*(WINAPI*)(int handle, DISPID dispid, tarvik::HostVariant* record);
using SetAutoClientBoolPropertyFn = int(WINAPI*)(int handle, DISPID dispid, int value);
using SetAutoClientCurrencyPropertyFn = int(WINAPI*)(int handle, DISPID dispid, const char* text);
using SetAutoClientDatePropertyFn = int(WINAPI*)(int handle, DISPID dispid, std::uint32_t date);
using SetAutoClientRealPropertyFn = int(WINAPI*)(int handle, DISPID dispid, char* text);
using SetAutoClientShortRealPropertyFn = int(WINAPI*)(int handle, DISPID dispid, char* text);
using SetAutoClientIntegerPropertyFn = int(WINAPI*)(int handle, DISPID dispid, int value);
using SetAutoClientShortPropertyFn = int(WINAPI*)(int handle, DISPID dispid, int value);
using SetAutoClientLPDispatchPropertyFn = int(WINAPI*)(int handle, DISPID dispid, IDispatch* value);
using SetAutoClientStringPropertyFn = int(WINAPI*)(int handle, DISPID dispid, const char* text);
using SetAutoClientOLEVariantPropertyFn = int(WINAPI*)(int handle, DISPID dispid,
                                                       tarvik::HostVariant* record);

struct TarvikCallExports {
  DeclareAutoClientInvokeParamsFn declareAutoClientInvokeParams = nullptr;
  DefineAutoClientBoolParamFn defineAutoClientBoolParam = nullptr;
  DefineAutoClientCurrencyParamFn defineAutoClientCurrencyParam = nullptr;
  DefineAutoClientDateParamFn defineAutoClientDateParam = nullptr;
  DefineAutoClientRealParamFn defineAutoClientRealParam = nullptr;
  DefineAutoClientShortRealParamFn defineAutoClientShortRealParam = nullptr;
  DefineAutoClientIntegerParamFn defineAutoClientIntegerParam = nullptr;
  DefineAutoClientShortParamFn defineAutoClientShortParam = nullptr;
  DefineAutoClientLPDispatchParamFn defineAutoClientLPDispatchParam = nullptr;
  DefineAutoClientStringParamFn defineAutoClientStringParam = nullptr;
  DefineAutoClientOLEVariantParamFn defineAutoClientOLEVariantParam = nullptr;
  DefineAutoClientBstrPtrParamFn defineAutoClientBstrPtrParam = nullptr;
  InvokeAutoClientVoidFunctionFn invokeAutoClientVoidFunction = nullptr;
  InvokeAutoClientBoolFunctionFn invokeAutoClientBoolFunction = nullptr;
  InvokeAutoClientCurrencyFunctionFn invokeAutoClientCurrencyFunction = nullptr;
  InvokeAutoClientDateFunctionFn invokeAutoClientDateFunction = nullptr;
  InvokeAutoClientLPDispatchFunctionFn invokeAutoClientLPDispatchFunction = nullptr;
  InvokeAutoClientRealFunctionFn invokeAutoClientRealFunction = nullptr;
  InvokeAutoClientShortRealFunctionFn invokeAutoClientShortRealFunction = nullptr;
  InvokeAutoClientIntegerFunctionFn invokeAutoClientIntegerFunction = nullptr;
  InvokeAutoClientShortFunctionFn invokeAutoClientShortFunction = nullptr;
  InvokeAutoClientStringFunctionFn invokeAutoClientStringFunction = nullptr;
  InvokeAutoClientOLEVariantFunctionFn invokeAutoClientOLEVariantFunction = nullptr;
  GetAutoClientBoolPropertyFn getAutoClientBoolProperty = nullptr;
  GetAutoClientCurrencyPropertyFn getAutoClientCurrencyProperty = nullptr;
  GetAutoClientDatePropertyFn getAutoClientDateProperty = nullptr;
  GetAutoClientLPDispatchPropertyFn getAutoClientLPDispatchProperty = nullptr;
  GetAutoClientRealPropertyFn getAutoClientRealProperty = nullptr;
  GetAutoClientShortRealPropertyFn getAutoClientShortRealProperty = nullptr;
  GetAutoClientIntegerPropertyFn getAutoClientIntegerProperty = nullptr;
  GetAutoClientShortPropertyFn getAutoClientShortProperty = nullptr;
  GetAutoClientStringPropertyFn getAutoClientStringProperty = nullptr;
  GetAutoClientOLEVariantPropertyFn getAutoClientOLEVariantProperty = nullptr;
  SetAutoClientBoolPropertyFn setAutoClientBoolProperty = nullptr;
  SetAutoClientCurrencyPropertyFn setAutoClientCurrencyProperty = nullptr;
  SetAutoClientDatePropertyFn setAutoClientDateProperty = nullptr;
  SetAutoClientRealPropertyFn setAutoClientRealProperty = nullptr;
  SetAutoClientShortRealPropertyFn setAutoClientShortRealProperty = nullptr;
  SetAutoClientIntegerPropertyFn setAutoClientIntegerProperty = nullptr;
  SetAutoClientShortPropertyFn setAutoClientShortProperty = nullptr;
  SetAutoClientLPDispatchPropertyFn setAutoClientLPDispatchProperty = nullptr;
  SetAutoClientStringPropertyFn setAutoClientStringProperty = nullptr;
  SetAutoClientOLEVariantPropertyFn setAutoClientOLEVariantProperty = nullptr;

  explicit TarvikCallExports(const LoadedLibrary& tarvik)
      : declareAutoClientInvokeParams(
            tarvik.Export<DeclareAutoClientInvokeParamsFn>("DeclareAutoClientInvokeParams")),
        defineAutoClientBoolParam(
            tarvik.Export<DefineAutoClientBoolParamFn>("DefineAutoClientBoolParam")),
        defineAutoClientCurrencyParam(
            tarvik.Export<DefineAutoClientCurrencyParamFn>("DefineAutoClientCurrencyParam")),
        defineAutoClientDateParam(
            tarvik.Export<DefineAutoClientDateParamFn>("DefineAutoClientDateParam")),
        defineAutoClientRealParam(
            tarvik.Export<DefineAutoClientRealParamFn>("DefineAutoClientRealParam")),
        defineAutoClientShortRealParam(
            tarvik.Export<DefineAutoClientShortRealParamFn>("DefineAutoClientShortRealParam")),
        defineAutoClientIntegerParam(
            tarvik.Export<DefineAutoClientIntegerParamFn>("DefineAutoClientIntegerParam")),
        defineAutoClientShortParam(
            tarvik.Export<DefineAutoClientShortParamFn>("DefineAutoClientShortParam")),
        defineAutoClientLPDispatchParam(
            tarvik.Export<DefineAutoClientLPDispatchParamFn>("DefineAutoClientLPDispatchParam")),
        defineAutoClientStringParam(
            tarvik.Export<DefineAutoClientStringParamFn>("DefineAutoClientStringParam")),
        defineAutoClientOLEVariantParam(
            tarvik.Export<DefineAutoClientOLEVariantParamFn>("DefineAutoClientOLEVariantParam")),
        defineAutoClientBstrPtrParam(
            tarvik.Export<DefineAutoClientBstrPtrParamFn>("DefineAutoClientBstrPtrParam")),
        invokeAutoClientVoidFunction(
            tarvik.Export<InvokeAutoClientVoidFunctionFn>("InvokeAutoClientVoidFunction")),
        invokeAutoClientBoolFunction(
            tarvik.Export<InvokeAutoClientBoolFunctionFn>("InvokeAutoClientBoolFunction")),
        invokeAutoClientCurrencyFunction(
            tarvik.Export<InvokeAutoClientCurrencyFunctionFn>("InvokeAutoClientCurrencyFunction")),
        invokeAutoClientDateFunction(
            tarvik.Export<InvokeAutoClientDateFunctionFn>("InvokeAutoClientDateFunction")),
        invokeAutoClientLPDispatchFunction(tarvik.Export<InvokeAutoClientLPDispatchFunctionFn>(
            "InvokeAutoClientLPDispatchFunction")),
        invokeAutoClientRealFunction(
            tarvik.Export<InvokeAutoClientRealFunctionFn>("InvokeAutoClientRealFunction")),
        invokeAutoClientShortRealFunction(tarvik.Export<InvokeAutoClientShortRealFunctionFn>(
            "InvokeAutoClientShortRealFunction")),
        invokeAutoClientIntegerFunction(
            tarvik.Export<InvokeAutoClientIntegerFunctionFn>("InvokeAutoClientIntegerFunction")),
        invokeAutoClientShortFunction(
            tarvik.Export<InvokeAutoClientShortFunctionFn>("InvokeAutoClientShortFunction")),
        invokeAutoClientStringFunction(
            tarvik.Export<InvokeAutoClientStringFunctionFn>("InvokeAutoClientStringFunction")),
        invokeAutoClientOLEVariantFunction(tarvik.Export<InvokeAutoClientOLEVariantFunctionFn>(
            "InvokeAutoClientOLEVariantFunction")),
        getAutoClientBoolProperty(
            tarvik.Export<GetAutoClientBoolPropertyFn>("GetAutoClientBoolProperty")),
        getAutoClientCurrencyProperty(
            tarvik.Export<GetAutoClientCurrencyPropertyFn>("GetAutoClientCurrencyProperty")),
        getAutoClientDateProperty(
            tarvik.Export<GetAutoClientDatePropertyFn>("GetAutoClientDateProperty")),
        getAutoClientLPDispatchProperty(
            tarvik.Export<GetAutoClientLPDispatchPropertyFn>("GetAutoClientLPDispatchProperty")),
        getAutoClientRealProperty(
            tarvik.Export<GetAutoClientRealPropertyFn>("GetAutoClientRealProperty")),
        getAutoClientShortRealProperty(
            tarvik.Export<GetAutoClientShortRealPropertyFn>("GetAutoClientShortRealProperty")),
        getAutoClientIntegerProperty(
            tarvik.Export<GetAutoClientIntegerPropertyFn>("GetAutoClientIntegerProperty")),
        getAutoClientShortProperty(
            tarvik.Export<GetAutoClientShortPropertyFn>("GetAutoClientShortProperty")),
        getAutoClientStringProperty(
            tarvik.Export<GetAutoClientStringPropertyFn>("GetAutoClientStringProperty")),
        getAutoClientOLEVariantProperty(
            tarvik.Export<GetAutoClientOLEVariantPropertyFn>("GetAutoClientOLEVariantProperty")),
        setAutoClientBoolProperty(
            tarvik.Export<SetAutoClientBoolPropertyFn>("SetAutoClientBoolProperty")),
        setAutoClientCurrencyProperty(
            tarvik.Export<SetAutoClientCurrencyPropertyFn>("SetAutoClientCurrencyProperty")),
        setAutoClientDateProperty(
            tarvik.Export<SetAutoClientDatePropertyFn>("SetAutoClientDateProperty")),
        setAutoClientRealProperty(
            tarvik.Export<SetAutoClientRealPropertyFn>("SetAutoClientRealProperty")),
        setAutoClientShortRealProperty(
            tarvik.Export<SetAutoClientShortRealPropertyFn>("SetAutoClientShortRealProperty")),
        setAutoClientIntegerProperty(
            tarvik.Export<SetAutoClientIntegerPropertyFn>("SetAutoClientIntegerProperty")),
        setAutoClientShortProperty(
            tarvik.Export<SetAutoClientShortPropertyFn>("SetAutoClientShortProperty")),
        setAutoClientLPDispatchProperty(
            tarvik.Export<SetAutoClientLPDispatchPropertyFn>("SetAutoClientLPDispatchProperty")),
        setAutoClientStringProperty(
            tarvik.Export<SetAutoClientStringPropertyFn>("SetAutoClientStringProperty")),
        setAutoClientOLEVariantProperty(
            tarvik.Export<SetAutoClientOLEVariantPropertyFn>("SetAutoClientOLEVariantProperty")) {}

  bool Complete() const {
    return declareAutoClientInvokeParams && defineAutoClientBoolParam &&
           defineAutoClientCurrencyParam && defineAutoClientDateParam &&
           defineAutoClientRealParam && defineAutoClientShortRealParam &&
           defineAutoClientIntegerParam && defineAutoClientShortParam &&
           defineAutoClientLPDispatchParam && defineAutoClientStringParam &&
           defineAutoClientOLEVariantParam && defineAutoClientBstrPtrParam &&
           invokeAutoClientVoidFunction && invokeAutoClientBoolFunction &&
           invokeAutoClientCurrencyFunction && invokeAutoClientDateFunction &&
           invokeAutoClientLPDispatchFunction && invokeAutoClientRealFunction &&
           invokeAutoClientShortRealFunction && invokeAutoClientIntegerFunction &&
           invokeAutoClientShortFunction && invokeAutoClientStringFunction &&
           invokeAutoClientOLEVariantFunction && getAutoClientBoolProperty &&
           getAutoClientCurrencyProperty && getAutoClientDateProperty &&
           getAutoClientLPDispatchProperty && getAutoClientRealProperty &&
           getAutoClientShortRealProperty && getAutoClientIntegerProperty &&
           getAutoClientShortProperty && getAutoClientStringProperty &&
           getAutoClientOLEVariantProperty && setAutoClientBoolProperty &&
           setAutoClientCurrencyProperty && setAutoClientDateProperty &&
           setAutoClientRealProperty && setAutoClientShortRealProperty &&
           setAutoClientIntegerProperty && setAutoClientShortProperty &&
           setAutoClientLPDispatchProperty && setAutoClientStringProperty &&
           setAutoClientOLEVariantProperty;
  }
};

// Arguments of a control event, read and written while the host handles
// WM_QVOCXEVENT; `params` is that message's lParam. A string result is a
// process-heap block the host frees. AlterOCXEventParam takes the record by
// value; its string block passes to the library once the argument is found to
// be by reference.
using GetOCXEventBoolParamFn = int(WINAPI*)(DISPPARAMS* params, int position);
using GetOCXEventShortParamFn = int(WINAPI*)(DISPPARAMS* params, int position);
using GetOCXEventIntegerParamFn = int(WINAPI*)(DISPPARAMS* params, int position);
using GetOCXEventRealParamFn = int(WINAPI*)(DISPPARAMS* params, int position, char* text);
using GetOCXEventShortRealParamFn = int(WINAPI*)(DISPPARAMS* params, int position, char* text);
using GetOCXEventCurrencyParamFn = int(WINAPI*)(DISPPARAMS* params, int position, char* text);
using GetOCXEventDateParamFn = std::uint32_t(WINAPI*)(DISPPARAMS* params, int position);
using GetOCXEventStringParamFn = char*(WINAPI*)(DISPPARAMS* params, int position, int unused);
using GetOCXEventOLEVariantParamFn = int(WINAPI*)(DISPPARAMS* params, int position,
                                                  tarvik::HostVariant* record);
using AlterOCXEventParamFn = int(WINAPI*)(DISPPARAMS* params, int position,
                                          tarvik::HostVariant value);

struct TarvikEventExports {
  GetOCXEventBoolParamFn getOCXEventBoolParam = nullptr;
  GetOCXEventShortParamFn getOCXEventShortParam = nullptr;
  GetOCXEventIntegerParamFn getOCXEventIntegerParam = nullptr;
  GetOCXEventRealParamFn getOCXEventRealParam = nullptr;
  GetOCXEventShortRealParamFn getOCXEventShortRealParam = nullptr;
  GetOCXEventCurrencyParamFn getOCXEventCurrencyParam = nullptr;
  GetOCXEventDateParamFn getOCXEventDateParam = nullptr;
  GetOCXEventStringParamFn getOCXEventStringParam = nullptr;
  GetOCXEventOLEVariantParamFn getOCXEventOLEVariantParam = nullptr;
  AlterOCXEventParamFn alterOCXEventParam = nullptr;

  explicit TarvikEventExports(const LoadedLibrary& tarvik)
      : getOCXEventBoolParam(tarvik.Export<GetOCXEventBoolParamFn>("GetOCXEventBoolParam")),
        getOCXEventShortParam(tarvik.Export<GetOCXEventShortParamFn>("GetOCXEventShortParam")),
        getOCXEventIntegerParam(
            tarvik.Export<GetOCXEventIntegerParamFn>("GetOCXEventIntegerParam")),
        getOCXEventRealParam(tarvik.Export<GetOCXEventRealParamFn>("GetOCXEventRealParam")),
        getOCXEventShortRealParam(
            tarvik.Export<GetOCXEventShortRealParamFn>("GetOCXEventShortRealParam")),
        getOCXEventCurrencyParam(
            tarvik.Export<GetOCXEventCurrencyParamFn>("GetOCXEventCurrencyParam")),
        getOCXEventDateParam(tarvik.Export<GetOCXEventDateParamFn>("GetOCXEventDateParam")),
        getOCXEventStringParam(tarvik.Export<GetOCXEventStringParamFn>("GetOCXEventStringParam")),
        getOCXEventOLEVariantParam(
            tarvik.Export<GetOCXEventOLEVariantParamFn>("GetOCXEventOLEVariantParam")),
        alterOCXEventParam(tarvik.Export<AlterOCXEventParamFn>("AlterOCXEventParam")) {}

  bool Complete() const {
    return getOCXEventBoolParam && getOCXEventShortParam && getOCXEventIntegerParam &&
           getOCXEventRealParam && getOCXEventShortRealParam && getOCXEventCurrencyParam &&
           getOCXEventDateParam && getOCXEventStringParam && getOCXEventOLEVariantParam &&
           alterOCXEventParam;
  }
};

// OCX clients: a client that hosts an ActiveX control in a window of the host.
using CreateOCXClientFn = int(WINAPI*)();
using CreateOCXControlExFn = int(WINAPI*)(int handle, HWND hostWnd, const char* classText,
                                          const char* caption, DWORD style, const char* creationKey,
                                          const char* persistFile, BOOL designMode);
using CreateOCXControlFn = int(WINAPI*)(int handle, HWND hostWnd, const char* classText,
                                        const char* caption, DWORD style, const char* creationKey,
                                        const char* persistFile);
using DestroyOCXControlFn = int(WINAPI*)(int handle);

struct TarvikOcxExports {
  CreateOCXClientFn createOCXClient = nullptr;
  CreateOCXControlExFn createOCXControlEx = nullptr;
  CreateOCXControlFn createOCXControl = nullptr;
  DestroyOCXControlFn destroyOCXControl = nullptr;

  explicit TarvikOcxExports(const LoadedLibrary& tarvik)
      : createOCXClient(tarvik.Export<CreateOCXClientFn>("CreateOCXClient")),
        createOCXControlEx(tarvik.Export<CreateOCXControlExFn>("CreateOCXControlEx")),
        createOCXControl(tarvik.Export<CreateOCXControlFn>("CreateOCXControl")),
        destroyOCXControl(tarvik.Export<DestroyOCXControlFn>("DestroyOCXControl")) {}

  bool Complete() const {
    return createOCXClient && createOCXControlEx && createOCXControl && destroyOCXControl;
  }
};

// Services around a hosted control. The caption buffer holds 255 bytes. The
// picture is a reference the host owns and gives back with ReleaseComPtr, the one
// export whose caller removes the argument.
using EnableOCXControlFn = int(WINAPI*)(int handle, BOOL enable);
using SetOCXControlCaptionFn = int(WINAPI*)(int handle, const char* caption);
using GetOCXControlCaptionFn = int(WINAPI*)(int handle, char* buffer);
using DisplayOCXControlPropertiesFn = int(WINAPI*)(int handle);
using SaveOCXControlPropertiesFn = int(WINAPI*)(int handle, const char* fileName);
using LoadOlePictureFn = IDispatch*(WINAPI*)(const char* fileName);
using ReleaseComPtrFn = int(__cdecl*)(IUnknown* pointer);
using ExtractToolboxBitmap32Fn = int(WINAPI*)(const char* outputFile, const char* classText);

struct TarvikServiceExports {
  EnableOCXControlFn enableOCXControl = nullptr;
  SetOCXControlCaptionFn setOCXControlCaption = nullptr;
  GetOCXControlCaptionFn getOCXControlCaption = nullptr;
  DisplayOCXControlPropertiesFn displayOCXControlProperties = nullptr;
  SaveOCXControlPropertiesFn saveOCXControlProperties = nullptr;
  LoadOlePictureFn loadOlePicture = nullptr;
  ReleaseComPtrFn releaseComPtr = nullptr;
  ExtractToolboxBitmap32Fn extractToolboxBitmap32 = nullptr;

  explicit TarvikServiceExports(const LoadedLibrary& tarvik)
      : enableOCXControl(tarvik.Export<EnableOCXControlFn>("EnableOCXControl")),
        setOCXControlCaption(tarvik.Export<SetOCXControlCaptionFn>("SetOCXControlCaption")),
        getOCXControlCaption(tarvik.Export<GetOCXControlCaptionFn>("GetOCXControlCaption")),
        displayOCXControlProperties(
            tarvik.Export<DisplayOCXControlPropertiesFn>("DisplayOCXControlProperties")),
        saveOCXControlProperties(
            tarvik.Export<SaveOCXControlPropertiesFn>("SaveOCXControlProperties")),
        loadOlePicture(tarvik.Export<LoadOlePictureFn>("LoadOlePicture")),
        releaseComPtr(tarvik.Export<ReleaseComPtrFn>("ReleaseComPtr")),
        extractToolboxBitmap32(tarvik.Export<ExtractToolboxBitmap32Fn>("ExtractToolboxBitmap32")) {}

  bool Complete() const {
    return enableOCXControl && setOCXControlCaption && getOCXControlCaption &&
           displayOCXControlProperties && saveOCXControlProperties && loadOlePicture &&
           releaseComPtr && extractToolboxBitmap32;
  }
};

}  // namespace quorvan::host
