// The DLL's entry points: the COM server exports, registration under
// HKLM\Software\Classes (the hive CLSIDFromProgID reads), the class factory with
// its licence, and the test hook.
#include <windows.h>

#include <olectl.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "tests/windows/probe_control/probe_module.h"

namespace probe {

HINSTANCE g_module = nullptr;

namespace {

ProbeStats g_stats{};
CreationSettings g_settings;

class ClassFactory : public IClassFactory2, private Counted {
 public:
  explicit ClassFactory(const CLSID& clsid) : clsid_(clsid) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IClassFactory || iid == IID_IClassFactory2) {
      *out = static_cast<IClassFactory2*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
  STDMETHODIMP_(ULONG) Release() override { return DropReference(); }

  // The machine holds a licence, so creation without a key is allowed.
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Stats().lastLicencePath = kLicencePlainCreate;
    ++Stats().plainCreations;
    return Create(iid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    ServerLock(lock != FALSE);
    return S_OK;
  }
  STDMETHODIMP GetLicInfo(LICINFO* info) override {
    if (!info) return E_POINTER;
    info->cbLicInfo = sizeof(LICINFO);
    info->fRuntimeKeyAvail = TRUE;
    info->fLicVerified = TRUE;
    return S_OK;
  }
  STDMETHODIMP RequestLicKey(DWORD, BSTR* key) override {
    if (!key) return E_POINTER;
    *key = SysAllocString(kProbeLicenceKey);
    return *key ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID iid, BSTR key,
                                 void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!key || std::wcscmp(key, kProbeLicenceKey) != 0) {
      Stats().lastLicencePath = kLicenceKeyRefused;
      ++Stats().refusedCreations;
      return CLASS_E_NOTLICENSED;
    }
    Stats().lastLicencePath = kLicenceKeyAccepted;
    ++Stats().keyedCreations;
    return Create(iid, out);
  }

 private:
  HRESULT Create(REFIID iid, void** out) {
    if (clsid_ == CLSID_ProbePropertyPage) return CreatePropertyPage(iid, out);
    return CreateControl(clsid_ == CLSID_ProbeControl, iid, out);
  }

  CLSID clsid_;
};

// Registry keys opened once and closed once.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  bool Create(HKEY parent, const std::wstring& path) {
    return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key_,
                           nullptr) == ERROR_SUCCESS;
  }
  bool Set(const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
  }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

const wchar_t kClasses[] = L"Software\\Classes\\";

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(g_module, path, MAX_PATH);
  return path;
}

bool SetKey(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  Key key;
  return key.Create(HKEY_LOCAL_MACHINE, std::wstring(kClasses) + path) && key.Set(name, value);
}

bool RegisterInproc(REFCLSID clsid, const std::wstring& name) {
  const std::wstring base = L"CLSID\\" + GuidText(clsid);
  return SetKey(base, nullptr, name) && SetKey(base + L"\\InprocServer32", nullptr, ModulePath()) &&
         SetKey(base + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
}

bool RegisterControl(REFCLSID clsid, const wchar_t* progId) {
  const std::wstring base = L"CLSID\\" + GuidText(clsid);
  return RegisterInproc(clsid, kProbeControlUserType) &&
         SetKey(base + L"\\ProgID", nullptr, progId) &&
         SetKey(base + L"\\Control", nullptr, std::wstring()) &&
         SetKey(base + L"\\ToolboxBitmap32", nullptr,
                ModulePath() + L", " + std::to_wstring(kProbeToolboxBitmapId)) &&
         SetKey(base + L"\\MiscStatus", nullptr, std::to_wstring(kProbeMiscStatus)) &&
         SetKey(progId, nullptr, kProbeControlUserType) &&
         SetKey(std::wstring(progId) + L"\\CLSID", nullptr, GuidText(clsid));
}

void Unregister(const std::wstring& path) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kClasses) + path).c_str());
}

const wchar_t kProgId[] = L"QuorvanTest.ProbeControl";
const wchar_t kNoPagesProgId[] = L"QuorvanTest.ProbeControlNoPages";

}  // namespace

ProbeStats& Stats() { return g_stats; }
CreationSettings& Settings() { return g_settings; }
void ObjectCreated() { InterlockedIncrement(&g_stats.liveObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_stats.liveObjects); }
void ReferenceTaken() { InterlockedIncrement(&g_stats.referenceBalance); }
void ReferenceDropped() { InterlockedDecrement(&g_stats.referenceBalance); }
void ServerLock(bool lock) {
  if (lock) {
    InterlockedIncrement(&g_stats.serverLocks);
  } else {
    InterlockedDecrement(&g_stats.serverLocks);
  }
}
bool CanUnload() { return g_stats.liveObjects == 0 && g_stats.serverLocks == 0; }

HRESULT CreateClassFactory(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_ProbeControl && clsid != CLSID_ProbeControlNoPages &&
      clsid != CLSID_ProbePropertyPage) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  auto* factory = new (std::nothrow) ClassFactory(clsid);
  if (!factory) return E_OUTOFMEMORY;
  return HandOut(factory, iid, out);
}

}  // namespace probe

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    probe::g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return probe::CreateClassFactory(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return probe::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  using namespace probe;
  const bool done = RegisterControl(CLSID_ProbeControl, kProgId) &&
                    RegisterControl(CLSID_ProbeControlNoPages, kNoPagesProgId) &&
                    RegisterInproc(CLSID_ProbePropertyPage, L"Quorvan Probe Property Page");
  return done ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  using namespace probe;
  for (const CLSID* clsid :
       {&CLSID_ProbeControl, &CLSID_ProbeControlNoPages, &CLSID_ProbePropertyPage})
    Unregister(L"CLSID\\" + GuidText(*clsid));
  Unregister(kProgId);
  Unregister(kNoPagesProgId);
  return S_OK;
}

BOOL __cdecl ProbeControlStats(ProbeStats* stats) {
  if (!stats || stats->size != sizeof(ProbeStats)) return FALSE;
  *stats = probe::g_stats;
  stats->size = sizeof(ProbeStats);
  return TRUE;
}

void __cdecl ProbeControlResetStats() {
  ProbeStats& stats = probe::g_stats;
  ProbeStats fresh{};
  fresh.liveObjects = stats.liveObjects;
  fresh.liveControls = stats.liveControls;
  fresh.referenceBalance = stats.referenceBalance;
  fresh.serverLocks = stats.serverLocks;
  fresh.freezeCount = stats.freezeCount;
  fresh.window = stats.window;
  stats = fresh;
}

void __cdecl ProbeControlSetFireDuringCreation(int enable) {
  probe::Settings().fireDuringCreation = enable != 0;
}

void __cdecl ProbeControlSetPreferredSize(int cx, int cy, int fixed) {
  probe::Settings().preferredWidth = cx;
  probe::Settings().preferredHeight = cy;
  probe::Settings().fixedSize = fixed != 0;
}

}  // extern "C"
