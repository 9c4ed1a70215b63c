// The ambient properties a control reads from its container: the container
// window answers what it decides, the site answers the rest.
#include <cstdio>

#include "tarvik/container/control_site.h"
#include "tarvik/container/control_wnd.h"
#include "tarvik/container/ocx_control.h"
#include "tarvik/container/parent_wnd.h"

namespace tarvik {

using XAmbient = CQuorvanControlSite::XAmbientProps;

HRESULT XAmbient::QueryInterface(REFIID iid, void** object) {
  return site_->QueryInterface(iid, object);
}
ULONG XAmbient::AddRef() { return site_->AddRef(); }
ULONG XAmbient::Release() { return site_->Release(); }

HRESULT XAmbient::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT XAmbient::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT XAmbient::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* dispids) {
  for (UINT i = 0; dispids && i < count; ++i) dispids[i] = DISPID_UNKNOWN;
  return E_NOTIMPL;
}

HRESULT XAmbient::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                         EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (!result) return E_INVALIDARG;
  VariantInit(result);
  if (SOCXParentWnd* parent = SOCXParentWnd::FromHandle(site_->ContainerWindow())) {
    if (parent->OnAmbientProperty(site_, dispid, result)) return S_OK;
  }
  return site_->DefaultAmbient(dispid, result) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

IFontDisp* CQuorvanControlSite::AmbientFont() const {
  LOGFONTW font = {};
  HFONT hostFont = nullptr;
  if (HWND window = ContainerWindow()) {
    hostFont = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  }
  if (!hostFont || !GetObjectW(hostFont, sizeof font, &font)) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  HDC screen = GetDC(nullptr);
  const int perInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  if (height == 0) height = MulDiv(8, perInch, 72);
  FONTDESC description = {};
  description.cbSizeofstruct = sizeof description;
  description.lpstrName = font.lfFaceName;
  // Points, in the currency units the font object keeps them in.
  description.cySize.int64 = static_cast<LONGLONG>(MulDiv(height, 72 * 10000, perInch));
  description.sWeight = static_cast<SHORT>(font.lfWeight ? font.lfWeight : FW_NORMAL);
  description.sCharset = font.lfCharSet;
  description.fItalic = font.lfItalic != 0;
  description.fUnderline = font.lfUnderline != 0;
  description.fStrikethrough = font.lfStrikeOut != 0;
  IFontDisp* answer = nullptr;
  if (FAILED(
          OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&answer)))) {
    return nullptr;
  }
  return answer;
}

bool CQuorvanControlSite::DefaultAmbient(DISPID dispid, VARIANT* value) {
  switch (dispid) {
    case DISPID_AMBIENT_FONT:
      if (IFontDisp* font = AmbientFont()) {
        V_VT(value) = VT_DISPATCH;
        V_DISPATCH(value) = font;
        return true;
      }
      return false;
    case DISPID_AMBIENT_BACKCOLOR:
      V_VT(value) = VT_I4;
      V_I4(value) = static_cast<LONG>(GetSysColor(COLOR_WINDOW));
      return true;
    case DISPID_AMBIENT_FORECOLOR:
      V_VT(value) = VT_I4;
      V_I4(value) = static_cast<LONG>(GetSysColor(COLOR_WINDOWTEXT));
      return true;
    case DISPID_AMBIENT_LOCALEID:
      V_VT(value) = VT_I4;
      V_I4(value) = static_cast<LONG>(GetUserDefaultLCID());
      return true;
    case DISPID_AMBIENT_DISPLAYNAME: {
      char name[40] = "OCX Client";
      if (wndCtrl_ && wndCtrl_->owner) {
        std::snprintf(name, sizeof name, "OCX Client %d", wndCtrl_->owner->Handle());
      }
      wchar_t wide[40] = {};
      MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 40);
      V_VT(value) = VT_BSTR;
      V_BSTR(value) = SysAllocString(wide);
      return true;
    }
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_UIDEAD:
      V_VT(value) = VT_BOOL;
      V_BOOL(value) = VARIANT_FALSE;
      return true;
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_AUTOCLIP:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
      V_VT(value) = VT_BOOL;
      V_BOOL(value) = VARIANT_TRUE;
      return true;
    default:
      return false;
  }
}

}  // namespace tarvik
