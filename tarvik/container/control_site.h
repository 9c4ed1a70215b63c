// The site of one hosted control: what the control sees of its container. The
// nested objects are the site's further interfaces; all of them share the site's
// one reference count.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

#include "tarvik/container/control_event.h"

namespace tarvik {

class CQuorvanControlContainer;
class SOCXWnd;

// Non-zero while the host is being told that a control gained the focus.
extern int g_inFocusNotify;

// How a control is to be made: the operands of the framework's control creation.
struct ControlCreation {
  CLSID clsid;
  const wchar_t* caption;  // null for none
  DWORD style;
  RECT rect;  // in the container window's client coordinates
  UINT id;
  IStorage* storage;  // saved state, or null
  BSTR licenceKey;    // or null
};

class CQuorvanControlSite : public IOleClientSite {
 public:
  explicit CQuorvanControlSite(CQuorvanControlContainer* container);
  CQuorvanControlSite(const CQuorvanControlSite&) = delete;
  CQuorvanControlSite& operator=(const CQuorvanControlSite&) = delete;

  // IUnknown: the site's interface map.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

  class XQuorvanIPSite : public IOleInPlaceSite {
   public:
    explicit XQuorvanIPSite(CQuorvanControlSite* site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override;

   private:
    CQuorvanControlSite* site_;
  };

  class XQuorvanControlSite : public IOleControlSite {
   public:
    explicit XQuorvanControlSite(CQuorvanControlSite* site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL lock) override;
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container,
                                              DWORD flags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, DWORD modifiers) override;
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL gotFocus) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;

   private:
    CQuorvanControlSite* site_;
  };

  // The ambient properties the control reads from its container.
  class XAmbientProps : public IDispatch {
   public:
    explicit XAmbientProps(CQuorvanControlSite* site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

   private:
    CQuorvanControlSite* site_;
  };

  class XPropertyNotifySink : public IPropertyNotifySink {
   public:
    explicit XPropertyNotifySink(CQuorvanControlSite* site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID dispid) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID dispid) override;

   private:
    CQuorvanControlSite* site_;
  };

  // Receives the control's events on its default source interface.
  class XEventSink : public IDispatch {
   public:
    explicit XEventSink(CQuorvanControlSite* site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

   private:
    CQuorvanControlSite* site_;
  };

  // Creates the control, initialises it, connects its events, activates it in
  // place in the container window and attaches its window to `wndCtrl`.
  HRESULT CreateOrLoad(const ControlCreation& creation, SOCXWnd* wndCtrl);
  // Deactivates, closes and lets go of the control; the site is left empty.
  void DestroyControl();

  // Re-reads the control's keyboard mnemonics.
  void GetControlInfo();
  // The control's window is gone or no longer the library's concern.
  void DetachWindow();
  bool IsMatchingMnemonic(MSG* message);
  void SendMnemonic(MSG* message);
  // Gives the keyboard focus to the control as its status asks.
  void SetFocus();
  // Sizes the control through its extent and object rectangles.
  void SetControlSize(int cx, int cy);
  void UIDeactivateControl();

  IUnknown* ControlUnknown() const { return object_; }
  HWND ControlWindow() const { return hwndCtrl_; }
  CQuorvanControlContainer* Container() const { return container_; }
  HWND ContainerWindow() const;
  SOCXWnd* WndCtrl() const { return wndCtrl_; }
  const RECT& PositionRect() const { return rect_; }
  IOleInPlaceObject* InPlaceObject() const { return inPlaceObject_; }

  // The answer to an ambient property the container window did not answer.
  bool DefaultAmbient(DISPID dispid, VARIANT* value);

 private:
  friend class XQuorvanIPSite;
  virtual ~CQuorvanControlSite();

  HRESULT InitialiseState(IStorage* saved);
  void ConnectSinks();
  void DisconnectSinks();
  void AttachWindow();
  void RouteToWindow(ControlEvent::Kind kind, DISPID dispid, DISPPARAMS* params);
  IFontDisp* AmbientFont() const;

  LONG references_ = 1;
  CQuorvanControlContainer* container_;
  SOCXWnd* wndCtrl_ = nullptr;
  HWND hwndCtrl_ = nullptr;
  RECT rect_ = {};
  DWORD miscStatus_ = 0;
  CONTROLINFO ctlInfo_ = {};
  IOleObject* object_ = nullptr;
  IOleInPlaceObject* inPlaceObject_ = nullptr;
  IOleControl* oleControl_ = nullptr;
  IStorage* storage_ = nullptr;
  IID eventIid_ = GUID_NULL;
  IConnectionPoint* eventPoint_ = nullptr;
  DWORD eventCookie_ = 0;
  IConnectionPoint* notifyPoint_ = nullptr;
  DWORD notifyCookie_ = 0;

 public:
  XQuorvanIPSite xQuorvanIPSite;
  XQuorvanControlSite xQuorvanControlSite;
  XAmbientProps xAmbientProps;
  XPropertyNotifySink xPropertyNotifySink;
  XEventSink xEventSink;
};

}  // namespace tarvik
