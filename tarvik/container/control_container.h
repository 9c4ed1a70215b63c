// The container of the controls sited in one container window: the in-place
// frame they are given, and the one of them that is UI-active.
#pragma once

#include <windows.h>

#include <ole2.h>

namespace tarvik {

class CQuorvanControlSite;

class CQuorvanControlContainer : public IOleInPlaceFrame {
 public:
  explicit CQuorvanControlContainer(HWND window);
  CQuorvanControlContainer(const CQuorvanControlContainer&) = delete;
  CQuorvanControlContainer& operator=(const CQuorvanControlContainer&) = delete;

  // Null once the container window's wrapper has gone.
  HWND Window() const { return window_; }
  void ClearWindow() { window_ = nullptr; }
  void OnUIActivate(CQuorvanControlSite* site);
  void OnUIDeactivate(CQuorvanControlSite* site);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  // IOleInPlaceUIWindow
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object,
                                            LPCOLESTR name) override;
  // IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor, HWND object) override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, WORD id) override;

 private:
  virtual ~CQuorvanControlContainer();

  LONG references_ = 1;
  HWND window_;
  CQuorvanControlSite* uiActive_ = nullptr;
  IOleInPlaceActiveObject* activeObject_ = nullptr;
};

}  // namespace tarvik
