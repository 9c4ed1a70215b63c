// The probe control itself: a small but complete in-process ActiveX control whose
// every contact with its container is recorded for the test hook.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "tests/windows/probe_control/probe_module.h"

namespace probe {
namespace {

const wchar_t kWindowClass[] = L"QuorvanProbeControlWindow";

void CopyText(WCHAR (&target)[64], const wchar_t* text) {
  target[0] = L'\0';
  if (text) wcsncpy_s(target, text, _TRUNCATE);
}

// Coerces one argument; by-reference arguments are read through.
HRESULT Coerce(const VARIANT& source, VARTYPE type, VARIANT& target) {
  VariantInit(&target);
  return VariantChangeType(&target, const_cast<VARIANT*>(&source), 0, type);
}

// A solid brush deleted once.
class Brush {
 public:
  explicit Brush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;
  ~Brush() {
    if (brush_) DeleteObject(brush_);
  }
  HBRUSH Get() const { return brush_; }

 private:
  HBRUSH brush_;
};

// A VARIANT that is cleared once.
struct Variant : VARIANT {
  Variant() { VariantInit(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(this); }
};

class MemberlessObject : public IDispatch, private Counted {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
  STDMETHODIMP_(ULONG) Release() override { return DropReference(); }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

class PointEnumerator : public IEnumConnectionPoints, private Counted {
 public:
  PointEnumerator(IConnectionPoint* point, ULONG position)
      : point_(Ref<IConnectionPoint>::Share(point)), position_(position) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumConnectionPoints) return E_NOINTERFACE;
    *out = static_cast<IEnumConnectionPoints*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
  STDMETHODIMP_(ULONG) Release() override { return DropReference(); }
  STDMETHODIMP Next(ULONG wanted, IConnectionPoint** points, ULONG* fetched) override {
    if (!points || (wanted != 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    if (wanted > 0 && position_ == 0) {
      points[0] = point_.Get();
      points[0]->AddRef();
      given = 1;
      position_ = 1;
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const bool enough = position_ + count <= 1;
    position_ = std::min<ULONG>(1, position_ + count);
    return enough ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumConnectionPoints** out) override {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) PointEnumerator(point_.Get(), position_);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  Ref<IConnectionPoint> point_;
  ULONG position_;
};

struct Persisted {
  static constexpr DWORD kMagic = 0x43505651;  // "QVPC"
  static constexpr DWORD kVersion = 1;
};

class Control : public IOleObject,
                public IOleInPlaceObject,
                public IOleInPlaceActiveObject,
                public IOleControl,
                public IViewObject2,
                public IPersistStorage,
                public IPersistStreamInit,
                public IDispatch,
                public IConnectionPointContainer,
                public IProvideClassInfo2,
                public ISpecifyPropertyPages,
                private Counted {
 public:
  explicit Control(bool withPages) : withPages_(withPages), eventPoint_(this) {
    ++Stats().liveControls;
    fireDuringCreation_ = Settings().fireDuringCreation;
    preferredWidth_ = Settings().preferredWidth;
    preferredHeight_ = Settings().preferredHeight;
    fixedSize_ = Settings().fixedSize;
    ACCEL mnemonic{kProbeMnemonicFlags, kProbeMnemonicKey, 1};
    accelerators_ = CreateAcceleratorTableW(&mnemonic, 1);
    Stats().freezeCount = 0;
  }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = Find(iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
  STDMETHODIMP_(ULONG) Release() override { return DropReference(); }

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override {
    const Hold hold(this);
    if (!site) InPlaceDeactivate();
    clientSite_ = Ref<IOleClientSite>::Share(site);
    if (site && fireDuringCreation_) FireCreating(1);
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** site) override {
    if (!site) return E_POINTER;
    *site = Ref<IOleClientSite>(clientSite_).Detach();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override {
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override {
    if (data) *data = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
    const Hold hold(this);
    HRESULT result = S_OK;
    switch (verb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_INPLACEACTIVATE:
        result = Activate(false);
        if (SUCCEEDED(result) && window_) ShowWindow(window_, SW_SHOW);
        break;
      case OLEIVERB_UIACTIVATE:
        result = Activate(true);
        break;
      case OLEIVERB_HIDE:
        UIDeactivate();
        if (window_) ShowWindow(window_, SW_HIDE);
        break;
      case OLEIVERB_DISCARDUNDOSTATE:
        break;
      default:
        return E_NOTIMPL;
    }
    if (fireDuringCreation_ && !verbEventFired_) {
      verbEventFired_ = true;
      FireCreating(2);
    }
    return result;
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override {
    if (verbs) *verbs = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR* name) override {
    if (!name) return E_POINTER;
    const size_t bytes = sizeof(kProbeControlUserType);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*name) return E_OUTOFMEMORY;
    std::memcpy(*name, kProbeControlUserType, bytes);
    return S_OK;
  }
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
  }
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override {
    if (!adviseHolder_) {
      const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Receive());
      if (FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, cookie);
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
  }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override {
    if (!advises) return E_POINTER;
    *advises = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
  }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    if (!status) return E_POINTER;
    *status = kProbeMiscStatus;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, through both in-place interfaces
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceObject
  STDMETHODIMP InPlaceDeactivate() override {
    if (!inPlaceSite_) return S_OK;
    UIDeactivate();
    if (window_) {
      DestroyWindow(window_);
      ++Stats().deactivations;
    }
    Ref<IOleInPlaceSite> site = std::move(inPlaceSite_);
    frame_.Reset();
    site->OnInPlaceDeactivate();
    return S_OK;
  }
  STDMETHODIMP UIDeactivate() override {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
  }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override {
    if (!position) return E_POINTER;
    ++Stats().setObjectRectsCalls;
    Stats().lastPosRect = *position;
    if (clip) Stats().lastClipRect = *clip;
    if (window_) {
      int width = position->right - position->left;
      int height = position->bottom - position->top;
      if (fixedSize_ && preferredWidth_ > 0 && preferredHeight_ > 0) {
        width = preferredWidth_;
        height = preferredHeight_;
      }
      MoveWindow(window_, position->left, position->top, width, height, TRUE);
    }
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override {
    if (!info) return E_POINTER;
    if (!accelerators_) return E_OUTOFMEMORY;
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = accelerators_;
    info->cAccel = 1;
    info->dwFlags = 0;
    return S_OK;
  }
  STDMETHODIMP OnMnemonic(LPMSG) override {
    ++Stats().mnemonics;
    return S_OK;
  }
  STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override {
    ++Stats().ambientChanges;
    Stats().lastAmbientChange = dispid;
    return S_OK;
  }
  STDMETHODIMP FreezeEvents(BOOL freeze) override {
    if (freeze) {
      ++freezeCount_;
    } else if (freezeCount_ > 0) {
      --freezeCount_;
    }
    ++Stats().freezeCalls;
    Stats().freezeCount = freezeCount_;
    return S_OK;
  }

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!target || !bounds) return E_INVALIDARG;
    ++Stats().draws;
    if (drawFails_) return E_FAIL;
    const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
    return Paint(target, area) ? S_OK : E_FAIL;
  }
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** set) override {
    if (set) *set = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override {
    viewSink_ = Ref<IAdviseSink>::Share(sink);
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
  }
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) *sink = Ref<IAdviseSink>(viewSink_).Detach();
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
    return GetExtent(aspect, size);
  }

  // IPersist, IPersistStorage, IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = withPages_ ? CLSID_ProbeControl : CLSID_ProbeControlNoPages;
    return S_OK;
  }
  STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  STDMETHODIMP InitNew(IStorage*) override { return InitNew(); }
  STDMETHODIMP Load(IStorage* storage) override {
    if (!storage) return E_POINTER;
    Ref<IStream> stream;
    const HRESULT hr = storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                           0, stream.Receive());
    if (FAILED(hr)) return hr;
    return Load(stream.Get());
  }
  STDMETHODIMP Save(IStorage* storage, BOOL) override {
    if (!storage) return E_POINTER;
    Ref<IStream> stream;
    const HRESULT hr = storage->CreateStream(
        L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.Receive());
    if (FAILED(hr)) return hr;
    return Save(stream.Get(), TRUE);
  }
  STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
  STDMETHODIMP HandsOffStorage() override { return S_OK; }
  STDMETHODIMP Load(LPSTREAM stream) override {
    if (!stream) return E_POINTER;
    DWORD magic = 0, version = 0;
    LONG value = 0, enabled = 0, colour = 0;
    Bstr caption, text;
    HRESULT hr = S_OK;
    if (FAILED(hr = Read(stream, magic)) || FAILED(hr = Read(stream, version))) return hr;
    if (magic != Persisted::kMagic || version != Persisted::kVersion) return STG_E_OLDFORMAT;
    if (FAILED(hr = ReadText(stream, caption)) || FAILED(hr = ReadText(stream, text)) ||
        FAILED(hr = Read(stream, value)) || FAILED(hr = Read(stream, enabled)) ||
        FAILED(hr = Read(stream, colour))) {
      return hr;
    }
    caption_.Assign(caption.Get());
    text_.Assign(text.Get());
    value_ = value;
    enabled_ = enabled != 0;
    colour_ = static_cast<COLORREF>(colour);
    dirty_ = false;
    ++Stats().loads;
    Refresh();
    return S_OK;
  }
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override {
    if (!stream) return E_POINTER;
    HRESULT hr = S_OK;
    if (FAILED(hr = Write(stream, Persisted::kMagic)) ||
        FAILED(hr = Write(stream, Persisted::kVersion)) ||
        FAILED(hr = WriteText(stream, caption_)) || FAILED(hr = WriteText(stream, text_)) ||
        FAILED(hr = Write(stream, value_)) ||
        FAILED(hr = Write(stream, static_cast<LONG>(enabled_))) ||
        FAILED(hr = Write(stream, static_cast<LONG>(colour_)))) {
      return hr;
    }
    if (clearDirty) dirty_ = false;
    ++Stats().saves;
    return S_OK;
  }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override {
    if (!size) return E_POINTER;
    size->QuadPart = 7 * sizeof(DWORD) + (caption_.Length() + text_.Length()) * sizeof(wchar_t);
    return S_OK;
  }
  STDMETHODIMP InitNew() override {
    ++Stats().initNews;
    return S_OK;
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return ProbeTypeInfo(typeLibrary_, DIID_DProbeControl, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    static const struct {
      const wchar_t* name;
      DISPID dispid;
    } kNames[] = {{L"Value", kDispidValue},
                  {L"Caption", kDispidCaption},
                  {L"Text", kDispidText},
                  {L"Enabled", kDispidEnabled},
                  {L"Color", kDispidColor},
                  {L"Picture", kDispidPicture},
                  {L"FireAll", kDispidFireAll},
                  {L"FireNoArgs", kDispidFireNoArgs},
                  {L"FireTwo", kDispidFireTwo},
                  {L"AskAmbients", kDispidAskAmbients},
                  {L"RequestRect", kDispidRequestRect},
                  {L"RequestFocus", kDispidRequestFocus},
                  {L"Transform", kDispidTransform},
                  {L"FireDuringCreation", kDispidFireDuringCreation},
                  {L"PreferredWidth", kDispidPreferredWidth},
                  {L"PreferredHeight", kDispidPreferredHeight},
                  {L"FreezeCount", kDispidFreezeCount},
                  {L"ByRefText", kDispidByRefText},
                  {L"ByRefLong", kDispidByRefLong},
                  {L"DrawFails", kDispidDrawFails},
                  {L"FireRepeated", kDispidFireRepeated}};
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count == 0) return S_OK;
    for (const auto& entry : kNames) {
      if (names[0] && _wcsicmp(names[0], entry.name) == 0) ids[0] = entry.dispid;
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) result = DISP_E_UNKNOWNNAME;
    return result;
  }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT* argumentError) override {
    if (!params) return E_POINTER;
    const Hold hold(this);
    Call call{params, argumentError};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return Put(dispid, call);
    Variant answer;
    const HRESULT hr = Get(dispid, flags, call, answer);
    if (SUCCEEDED(hr) && result) {
      *result = answer;
      VariantInit(&answer);
    }
    return hr;
  }

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override {
    if (!points) return E_POINTER;
    *points = new (std::nothrow) PointEnumerator(&eventPoint_, 0);
    return *points ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != DIID_DProbeControlEvents) return CONNECT_E_NOCONNECTION;
    *point = &eventPoint_;
    eventPoint_.AddRef();
    return S_OK;
  }

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
    if (!info) return E_POINTER;
    CLSID clsid{};
    GetClassID(&clsid);
    return ProbeTypeInfo(typeLibrary_, clsid, info);
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID_DProbeControlEvents;
    return S_OK;
  }

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
      pages->cElems = 0;
      return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_ProbePropertyPage;
    return S_OK;
  }

  void WindowGone() {
    if (Stats().window == window_) Stats().window = nullptr;
    window_ = nullptr;
  }
  void PaintWindow() {
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(window_, &paint)) {
      RECT client{};
      GetClientRect(window_, &client);
      Paint(dc, client);
      EndPaint(window_, &paint);
      ++Stats().paints;
    }
  }
  void ReportFocus(BOOL gotFocus) { RequestFocus(gotFocus); }

 protected:
  ~Control() override {
    if (window_) {
      // The window outlives no control: its last messages (the focus leaving it)
      // are not the control's any more.
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
      WindowGone();
    }
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    --Stats().liveControls;
    if (Stats().liveControls == 0) UnregisterClassW(kWindowClass, g_module);
  }

 private:
  // A reference of the control's own while it calls out: a container may let go
  // of the control from inside an event or a site call.
  class Hold {
   public:
    explicit Hold(Control* control) : control_(control) { control_->AddRef(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() { control_->Release(); }

   private:
    Control* control_;
  };

  // The event interface's connection point: part of the control, counted with it.
  class EventPoint : public IConnectionPoint {
   public:
    explicit EventPoint(Control* control) : control_(control) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
      if (!out) return E_POINTER;
      *out = nullptr;
      if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
      *out = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return control_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return control_->Release(); }
    STDMETHODIMP GetConnectionInterface(IID* iid) override {
      if (!iid) return E_POINTER;
      *iid = DIID_DProbeControlEvents;
      return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
      return control_->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(container));
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
      if (!sink || !cookie) return E_POINTER;
      *cookie = 0;
      Ref<IDispatch> dispatch;
      if (FAILED(sink->QueryInterface(DIID_DProbeControlEvents, dispatch.ReceiveVoid())) &&
          FAILED(sink->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid()))) {
        return CONNECT_E_CANNOTCONNECT;
      }
      *cookie = ++lastCookie_;
      sinks_.push_back({*cookie, std::move(dispatch)});
      return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override {
      auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                [cookie](const Sink& sink) { return sink.cookie == cookie; });
      if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
      Ref<IDispatch> leaving = std::move(found->dispatch);
      sinks_.erase(found);
      return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override {
      if (connections) *connections = nullptr;
      return E_NOTIMPL;
    }

    std::vector<Ref<IDispatch>> Sinks() const {
      std::vector<Ref<IDispatch>> copy;
      for (const Sink& sink : sinks_) copy.push_back(sink.dispatch);
      return copy;
    }
    void DropAll() {
      std::vector<Sink> leaving;
      leaving.swap(sinks_);
    }

   private:
    struct Sink {
      DWORD cookie;
      Ref<IDispatch> dispatch;
    };
    Control* control_;
    std::vector<Sink> sinks_;
    DWORD lastCookie_ = 0;
  };

  struct Call {
    DISPPARAMS* params;
    UINT* argumentError;
    // The argument at a declared position, coerced.
    HRESULT Argument(UINT position, VARTYPE type, VARIANT& target) const {
      if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
      if (position >= params->cArgs) return DISP_E_PARAMNOTOPTIONAL;
      const UINT index = params->cArgs - 1 - position;
      const HRESULT hr = Coerce(params->rgvarg[index], type, target);
      if (FAILED(hr)) {
        if (argumentError) *argumentError = index;
        return DISP_E_TYPEMISMATCH;
      }
      return S_OK;
    }
    // The new value of a property.
    HRESULT NewValue(VARTYPE type, VARIANT& target) const {
      if (params->cArgs < 1) return DISP_E_PARAMNOTOPTIONAL;
      const HRESULT hr = Coerce(params->rgvarg[0], type, target);
      if (FAILED(hr)) {
        if (argumentError) *argumentError = 0;
        return DISP_E_TYPEMISMATCH;
      }
      return S_OK;
    }
  };

  void* Find(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IOleObject) return static_cast<IOleObject*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
      return static_cast<IOleInPlaceObject*>(this);
    if (iid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
    if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
    if (iid == IID_IViewObject || iid == IID_IViewObject2) return static_cast<IViewObject2*>(this);
    if (iid == IID_IPersist || iid == IID_IPersistStorage)
      return static_cast<IPersistStorage*>(this);
    if (iid == IID_IPersistStreamInit) return static_cast<IPersistStreamInit*>(this);
    if (iid == IID_IDispatch || iid == DIID_DProbeControl) return static_cast<IDispatch*>(this);
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
      return static_cast<IProvideClassInfo2*>(this);
    if (iid == IID_ISpecifyPropertyPages && withPages_)
      return static_cast<ISpecifyPropertyPages*>(this);
    return nullptr;
  }

  static bool RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = g_module;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
      case WM_PAINT:
        control->PaintWindow();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_SETFOCUS:
      case WM_KILLFOCUS: {
        const Hold hold(control);
        control->ReportFocus(message == WM_SETFOCUS);
        break;
      }
      case WM_LBUTTONDOWN:
        SetFocus(window);
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_DEADCHAR:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
      case WM_SYSDEADCHAR:
        ++Stats().keyMessages;
        Stats().lastKeyMessage = message;
        Stats().lastKeyWParam = wParam;
        break;
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        control->WindowGone();
        break;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HRESULT Activate(bool userInterface) {
    if (!clientSite_) return E_UNEXPECTED;
    // A window that went with its parent leaves the control to be activated afresh.
    if (inPlaceSite_ && !window_) InPlaceDeactivate();
    if (!inPlaceSite_) {
      Ref<IOleInPlaceSite> site;
      if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSite, site.ReceiveVoid())))
        return E_NOINTERFACE;
      if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
      HRESULT hr = site->OnInPlaceActivate();
      if (FAILED(hr)) return hr;
      HWND parent = nullptr;
      Ref<IOleInPlaceFrame> frame;
      Ref<IOleInPlaceUIWindow> document;
      RECT position{}, clip{};
      OLEINPLACEFRAMEINFO frameInfo{};
      frameInfo.cb = sizeof(frameInfo);
      if (SUCCEEDED(hr = site->GetWindow(&parent)) && parent) {
        hr = site->GetWindowContext(frame.Receive(), document.Receive(), &position, &clip,
                                    &frameInfo);
      } else if (SUCCEEDED(hr)) {
        hr = E_FAIL;
      }
      if (SUCCEEDED(hr) && !RegisterWindowClass()) hr = E_FAIL;
      if (SUCCEEDED(hr)) {
        window_ = CreateWindowExW(0, kWindowClass, caption_.Get() ? caption_.Get() : L"",
                                  WS_CHILD | WS_CLIPSIBLINGS | (enabled_ ? 0 : WS_DISABLED),
                                  position.left, position.top, position.right - position.left,
                                  position.bottom - position.top, parent, nullptr, g_module, this);
        if (!window_) hr = E_FAIL;
      }
      if (FAILED(hr)) {
        site->OnInPlaceDeactivate();
        return hr;
      }
      inPlaceSite_ = std::move(site);
      frame_ = std::move(frame);
      ++Stats().activations;
      Stats().window = window_;
      Stats().lastPosRect = position;
      Stats().lastClipRect = clip;
      ShowWindow(window_, SW_SHOWNA);
      if (preferredWidth_ > 0 && preferredHeight_ > 0) {
        RequestRect(RECT{position.left, position.top, position.left + preferredWidth_,
                         position.top + preferredHeight_});
      }
    }
    if (userInterface && !uiActive_ && inPlaceSite_) {
      uiActive_ = true;
      ++Stats().uiActivations;
      inPlaceSite_->OnUIActivate();
      if (frame_) frame_->SetActiveObject(this, kProbeControlUserType);
      if (window_ && GetFocus() != window_) SetFocus(window_);
    }
    return S_OK;
  }

  bool Paint(HDC dc, const RECT& area) {
    const Brush border(kProbeBorderColour), fill(colour_);
    bool done = border.Get() && fill.Get();
    if (done) {
      RECT inner = area;
      InflateRect(&inner, -kProbeBorderWidth, -kProbeBorderWidth);
      done = FillRect(dc, &area, border.Get()) &&
             (IsRectEmpty(&inner) || FillRect(dc, &inner, fill.Get()));
    }
    return done;
  }

  void Refresh() {
    if (window_) {
      SetWindowTextW(window_, caption_.Get() ? caption_.Get() : L"");
      EnableWindow(window_, enabled_);
      InvalidateRect(window_, nullptr, TRUE);
    }
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  }

  // Events. Frozen events are not fired at all, as a container in design mode
  // expects.
  HRESULT Fire(DISPID dispid, VARIANTARG* arguments, UINT count) {
    if (freezeCount_ > 0) {
      ++Stats().eventsSuppressed;
      return S_FALSE;
    }
    HRESULT last = S_OK;
    for (const Ref<IDispatch>& sink : eventPoint_.Sinks()) {
      DISPPARAMS params{count ? arguments : nullptr, nullptr, count, 0};
      last = sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                          nullptr, nullptr);
      ++Stats().eventsFired;
      Stats().lastEventResult = last;
    }
    return last;
  }

  // The sinks are taken once for the whole loop: what a firing costs is then
  // the sinks' own work, not the control's.
  void FireRepeated(LONG count) {
    if (freezeCount_ > 0) {
      Stats().eventsSuppressed += count;
      return;
    }
    const std::vector<Ref<IDispatch>> sinks = eventPoint_.Sinks();
    VARIANTARG index;
    index.vt = VT_I4;
    HRESULT last = S_OK;
    for (LONG i = 0; i < count; ++i) {
      for (const Ref<IDispatch>& sink : sinks) {
        index.lVal = i;
        DISPPARAMS params{&index, nullptr, 1, 0};
        last = sink->Invoke(kEventCounted, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                            nullptr, nullptr, nullptr);
      }
    }
    Stats().eventsFired += count * static_cast<LONG>(sinks.size());
    if (count > 0 && !sinks.empty()) Stats().lastEventResult = last;
  }

  void FireCreating(LONG stage) {
    VARIANTARG argument;
    argument.vt = VT_I4;
    argument.lVal = stage;
    const LONG before = Stats().eventsFired;
    Fire(kEventCreating, &argument, 1);
    if (Stats().eventsFired != before) ++Stats().creationEventsFired;
  }

  void FireAll() {
    // Event 1: every type by value, in declared order (rgvarg holds them reversed).
    {
      Ref<IDispatch> object(NewMemberlessObject());
      Bstr text(kProbeValueText);
      VARIANTARG arguments[9];
      for (VARIANTARG& argument : arguments) VariantInit(&argument);
      arguments[8].vt = VT_BOOL;
      arguments[8].boolVal = kProbeValueBool;
      arguments[7].vt = VT_I2;
      arguments[7].iVal = kProbeValueShort;
      arguments[6].vt = VT_I4;
      arguments[6].lVal = kProbeValueLong;
      arguments[5].vt = VT_R4;
      arguments[5].fltVal = kProbeValueFloat;
      arguments[4].vt = VT_R8;
      arguments[4].dblVal = kProbeValueDouble;
      arguments[3].vt = VT_CY;
      arguments[3].cyVal.int64 = kProbeValueCurrency;
      arguments[2].vt = VT_DATE;
      arguments[2].date = kProbeValueDate;
      arguments[1].vt = VT_BSTR;
      arguments[1].bstrVal = text.Get();
      arguments[0].vt = VT_DISPATCH;
      arguments[0].pdispVal = object.Get();
      Fire(kEventValueArguments, arguments, 9);
    }
    // Event 2: by reference; what the sinks leave in the variables is recorded.
    SHORT small = kProbeRefShort;
    VARIANT_BOOL flag = kProbeRefBool;
    LONG whole = kProbeRefLong;
    double real = kProbeRefDouble;
    Bstr text(kProbeRefText);
    CY money{};
    money.int64 = kProbeRefCurrency;
    DATE when = kProbeRefDate;
    VARIANTARG arguments[7];
    for (VARIANTARG& argument : arguments) VariantInit(&argument);
    arguments[6].vt = VT_BYREF | VT_I2;
    arguments[6].piVal = &small;
    arguments[5].vt = VT_BYREF | VT_BOOL;
    arguments[5].pboolVal = &flag;
    arguments[4].vt = VT_BYREF | VT_I4;
    arguments[4].plVal = &whole;
    arguments[3].vt = VT_BYREF | VT_R8;
    arguments[3].pdblVal = &real;
    arguments[2].vt = VT_BYREF | VT_BSTR;
    arguments[2].pbstrVal = text.Address();
    arguments[1].vt = VT_BYREF | VT_CY;
    arguments[1].pcyVal = &money;
    arguments[0].vt = VT_BYREF | VT_DATE;
    arguments[0].pdate = &when;
    Fire(kEventReferenceArguments, arguments, 7);
    ProbeStats& stats = Stats();
    ++stats.writeBacksRecorded;
    stats.byRefShort = small;
    stats.byRefBool = flag;
    stats.byRefLong = whole;
    stats.byRefDouble = real;
    stats.byRefCurrency = money;
    stats.byRefDate = when;
    CopyText(stats.byRefText, text.Get());
    byRefText_.Assign(text.Get());
    byRefLong_ = whole;
  }

  void AskAmbients() {
    ProbeStats& stats = Stats();
    ++stats.ambientQueries;
    for (ProbeAmbient& ambient : stats.ambients) {
      ambient = ProbeAmbient{};
      ambient.result = E_NOINTERFACE;
    }
    Ref<IDispatch> ambients;
    stats.ambientDispatchResult =
        clientSite_ ? clientSite_->QueryInterface(IID_IDispatch, ambients.ReceiveVoid())
                    : E_UNEXPECTED;
    if (!ambients) return;
    for (int i = 0; i < kProbeAmbientCount; ++i) {
      ProbeAmbient& record = stats.ambients[i];
      DISPPARAMS none{};
      Variant answer;
      record.result = ambients->Invoke(kProbeAmbientDispids[i], IID_NULL, LOCALE_USER_DEFAULT,
                                       DISPATCH_PROPERTYGET, &none, &answer, nullptr, nullptr);
      record.type = answer.vt;
      switch (answer.vt) {
        case VT_BOOL:
          record.integer = answer.boolVal;
          break;
        case VT_I2:
          record.integer = answer.iVal;
          break;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
          record.integer = answer.lVal;
          break;
        case VT_UI1:
          record.integer = answer.bVal;
          break;
        case VT_BSTR:
          CopyText(record.text, answer.bstrVal);
          break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
          record.isObject = answer.punkVal != nullptr;
          break;
        default:
          break;
      }
    }
  }

  HRESULT RequestRect(const RECT& wanted) {
    ProbeStats& stats = Stats();
    ++stats.posRectCalls;
    stats.posRectAsked = wanted;
    stats.posRectResult = inPlaceSite_ ? inPlaceSite_->OnPosRectChange(&wanted) : E_UNEXPECTED;
    return stats.posRectResult;
  }

  Ref<IOleControlSite> ControlSite() const {
    Ref<IOleControlSite> site;
    if (clientSite_) clientSite_->QueryInterface(IID_IOleControlSite, site.ReceiveVoid());
    return site;
  }

  HRESULT RequestFocus(BOOL gotFocus) {
    ProbeStats& stats = Stats();
    ++stats.focusCalls;
    Ref<IOleControlSite> site = ControlSite();
    stats.focusResult = site ? site->OnFocus(gotFocus) : E_NOINTERFACE;
    return stats.focusResult;
  }

  HRESULT Transform(LONG x, LONG y, DWORD flags) {
    ProbeStats& stats = Stats();
    POINTL himetric{x, y};
    POINTF container{static_cast<float>(x), static_cast<float>(y)};
    Ref<IOleControlSite> site = ControlSite();
    stats.transformResult =
        site ? site->TransformCoords(&himetric, &container, flags) : E_NOINTERFACE;
    stats.transformHimetric = himetric;
    stats.transformContainer = container;
    return stats.transformResult;
  }

  HRESULT Put(DISPID dispid, const Call& call) {
    Variant value;
    HRESULT hr = S_OK;
    switch (dispid) {
      case kDispidValue:
        if (FAILED(hr = call.NewValue(VT_I4, value))) return hr;
        value_ = value.lVal;
        break;
      case kDispidCaption:
      case kDispidText:
        if (FAILED(hr = call.NewValue(VT_BSTR, value))) return hr;
        (dispid == kDispidCaption ? caption_ : text_).Assign(value.bstrVal);
        break;
      case kDispidEnabled:
        if (FAILED(hr = call.NewValue(VT_BOOL, value))) return hr;
        enabled_ = value.boolVal != VARIANT_FALSE;
        break;
      case kDispidColor:
        if (FAILED(hr = call.NewValue(VT_I4, value))) return hr;
        colour_ = static_cast<COLORREF>(value.lVal);
        break;
      case kDispidPicture: {
        if (call.params->cArgs < 1) return DISP_E_PARAMNOTOPTIONAL;
        const VARIANT& given = call.params->rgvarg[0];
        const VARTYPE type = given.vt & ~VT_BYREF;
        IUnknown* object = nullptr;
        if (type == VT_DISPATCH || type == VT_UNKNOWN) {
          object = (given.vt & VT_BYREF) ? *given.ppunkVal : given.punkVal;
        } else if (type != VT_EMPTY && type != VT_NULL) {
          return DISP_E_TYPEMISMATCH;
        }
        Ref<IDispatch> picture;
        if (object && FAILED(object->QueryInterface(IID_IPictureDisp, picture.ReceiveVoid())))
          return DISP_E_TYPEMISMATCH;
        picture_ = std::move(picture);
        break;
      }
      case kDispidFireDuringCreation:
      case kDispidDrawFails:
        if (FAILED(hr = call.NewValue(VT_BOOL, value))) return hr;
        (dispid == kDispidDrawFails ? drawFails_ : fireDuringCreation_) =
            value.boolVal != VARIANT_FALSE;
        return S_OK;
      case kDispidPreferredWidth:
      case kDispidPreferredHeight:
        if (FAILED(hr = call.NewValue(VT_I4, value))) return hr;
        (dispid == kDispidPreferredWidth ? preferredWidth_ : preferredHeight_) = value.lVal;
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    dirty_ = true;
    Refresh();
    return S_OK;
  }

  HRESULT Get(DISPID dispid, WORD flags, const Call& call, VARIANT& answer) {
    const bool isMethod = (flags & DISPATCH_METHOD) != 0;
    auto number = [&answer](LONG value) {
      answer.vt = VT_I4;
      answer.lVal = value;
      return S_OK;
    };
    auto text = [&answer](const Bstr& value) {
      answer.vt = VT_BSTR;
      answer.bstrVal = value.Copy();
      return answer.bstrVal || !value.Get() ? S_OK : E_OUTOFMEMORY;
    };
    auto truth = [&answer](bool value) {
      answer.vt = VT_BOOL;
      answer.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    };
    Variant a, b, c, d;
    HRESULT hr = S_OK;
    switch (dispid) {
      case kDispidValue:
        return number(value_);
      case kDispidCaption:
        return text(caption_);
      case kDispidText:
        return text(text_);
      case kDispidEnabled:
        return truth(enabled_);
      case kDispidColor:
        return number(static_cast<LONG>(colour_));
      case kDispidPicture:
        answer.vt = VT_DISPATCH;
        answer.pdispVal = Ref<IDispatch>(picture_).Detach();
        return S_OK;
      case kDispidFireDuringCreation:
        return truth(fireDuringCreation_);
      case kDispidDrawFails:
        return truth(drawFails_);
      case kDispidPreferredWidth:
        return number(preferredWidth_);
      case kDispidPreferredHeight:
        return number(preferredHeight_);
      case kDispidFreezeCount:
        return number(freezeCount_);
      case kDispidByRefText:
        return text(byRefText_);
      case kDispidByRefLong:
        return number(byRefLong_);
      default:
        break;
    }
    if (!isMethod) return DISP_E_MEMBERNOTFOUND;
    switch (dispid) {
      case kDispidFireAll:
        FireAll();
        return S_OK;
      case kDispidFireNoArgs:
        Fire(kEventNoArguments, nullptr, 0);
        return S_OK;
      case kDispidFireTwo: {
        if (FAILED(hr = call.Argument(0, VT_I4, a)) || FAILED(hr = call.Argument(1, VT_BSTR, b)))
          return hr;
        VARIANTARG arguments[2] = {b, a};
        Fire(kEventTwoArguments, arguments, 2);
        return S_OK;
      }
      case kDispidFireRepeated:
        if (FAILED(hr = call.Argument(0, VT_I4, a))) return hr;
        if (a.lVal < 0) {
          if (call.argumentError) *call.argumentError = 0;
          return E_INVALIDARG;
        }
        FireRepeated(a.lVal);
        return S_OK;
      case kDispidAskAmbients:
        AskAmbients();
        return S_OK;
      case kDispidRequestRect:
        if (FAILED(hr = call.Argument(0, VT_I4, a)) || FAILED(hr = call.Argument(1, VT_I4, b)) ||
            FAILED(hr = call.Argument(2, VT_I4, c)) || FAILED(hr = call.Argument(3, VT_I4, d)))
          return hr;
        return number(RequestRect(RECT{a.lVal, b.lVal, c.lVal, d.lVal}));
      case kDispidRequestFocus:
        if (FAILED(hr = call.Argument(0, VT_BOOL, a))) return hr;
        return number(RequestFocus(a.boolVal != VARIANT_FALSE));
      case kDispidTransform:
        if (FAILED(hr = call.Argument(0, VT_I4, a)) || FAILED(hr = call.Argument(1, VT_I4, b)) ||
            FAILED(hr = call.Argument(2, VT_I4, c)))
          return hr;
        return number(Transform(a.lVal, b.lVal, static_cast<DWORD>(c.lVal)));
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  template <class Value>
  static HRESULT Read(IStream* stream, Value& value) {
    ULONG done = 0;
    const HRESULT hr = stream->Read(&value, sizeof(value), &done);
    if (FAILED(hr)) return hr;
    return done == sizeof(value) ? S_OK : STG_E_READFAULT;
  }
  template <class Value>
  static HRESULT Write(IStream* stream, const Value& value) {
    ULONG done = 0;
    const HRESULT hr = stream->Write(&value, sizeof(value), &done);
    if (FAILED(hr)) return hr;
    return done == sizeof(value) ? S_OK : STG_E_WRITEFAULT;
  }
  static HRESULT ReadText(IStream* stream, Bstr& text) {
    DWORD length = 0;
    HRESULT hr = Read(stream, length);
    if (FAILED(hr)) return hr;
    if (length > 0x100000) return STG_E_DOCFILECORRUPT;
    std::vector<wchar_t> characters(length + 1);
    ULONG done = 0;
    const ULONG bytes = length * sizeof(wchar_t);
    if (bytes && (FAILED(hr = stream->Read(characters.data(), bytes, &done)) || done != bytes))
      return FAILED(hr) ? hr : STG_E_READFAULT;
    text.Assign(characters.data(), length);
    return S_OK;
  }
  static HRESULT WriteText(IStream* stream, const Bstr& text) {
    const DWORD length = text.Length();
    HRESULT hr = Write(stream, length);
    if (FAILED(hr) || length == 0) return hr;
    ULONG done = 0;
    const ULONG bytes = length * sizeof(wchar_t);
    hr = stream->Write(text.Get(), bytes, &done);
    if (FAILED(hr)) return hr;
    return done == bytes ? S_OK : STG_E_WRITEFAULT;
  }

  const bool withPages_;
  EventPoint eventPoint_;
  Ref<IOleClientSite> clientSite_;
  Ref<IOleInPlaceSite> inPlaceSite_;
  Ref<IOleInPlaceFrame> frame_;
  Ref<IOleAdviseHolder> adviseHolder_;
  Ref<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  Ref<ITypeLib> typeLibrary_;
  HWND window_ = nullptr;
  HACCEL accelerators_ = nullptr;
  bool uiActive_ = false;
  bool dirty_ = false;
  SIZEL extent_{kProbeDefaultExtentX, kProbeDefaultExtentY};
  LONG freezeCount_ = 0;
  bool fireDuringCreation_ = false;
  bool drawFails_ = false;
  bool verbEventFired_ = false;
  LONG preferredWidth_ = 0;
  LONG preferredHeight_ = 0;
  bool fixedSize_ = false;
  // Properties.
  Bstr caption_;
  Bstr text_;
  LONG value_ = 0;
  bool enabled_ = true;
  COLORREF colour_ = kProbeDefaultColour;
  Ref<IDispatch> picture_;
  Bstr byRefText_;
  LONG byRefLong_ = 0;
};

}  // namespace

IDispatch* NewMemberlessObject() { return new (std::nothrow) MemberlessObject; }

HRESULT CreateControl(bool withPages, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* control = new (std::nothrow) Control(withPages);
  if (!control) return E_OUTOFMEMORY;
  return HandOut(control, iid, out);
}

}  // namespace probe
