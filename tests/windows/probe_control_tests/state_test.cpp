// What the probe keeps and shows: properties through IDispatch, saving and
// loading them through structured storage and streams, its picture through
// IViewObject::Draw, and its type information.
#include <windows.h>

#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

#include "tests/windows/probe_control_tests/probe_fixture.h"

namespace probe_tests {
namespace {

using StateTest = ProbeTest;

struct TempFile {
  TempFile() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path =
        std::wstring(folder) + L"probe_state_" + std::to_wstring(GetCurrentProcessId()) + L".stg";
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() { DeleteFileW(path.c_str()); }
  std::wstring path;
};

struct Values {
  std::wstring caption, text;
  LONG value;
  bool enabled;
  LONG colour;
};

void Assign(IDispatch* control, const Values& values) {
  TextVariant caption(values.caption.c_str()), text(values.text.c_str());
  EXPECT_EQ(Put(control, kDispidCaption, caption), S_OK);
  EXPECT_EQ(Put(control, kDispidText, text), S_OK);
  EXPECT_EQ(Put(control, kDispidValue, Long(values.value)), S_OK);
  EXPECT_EQ(Put(control, kDispidEnabled, Bool(values.enabled)), S_OK);
  EXPECT_EQ(Put(control, kDispidColor, Long(values.colour)), S_OK);
}

Values Read(IDispatch* control) {
  Values values{};
  Variant answer;
  EXPECT_EQ(Get(control, kDispidCaption, answer), S_OK);
  if (answer.vt == VT_BSTR && answer.bstrVal) values.caption = answer.bstrVal;
  EXPECT_EQ(Get(control, kDispidText, answer), S_OK);
  if (answer.vt == VT_BSTR && answer.bstrVal) values.text = answer.bstrVal;
  EXPECT_EQ(Get(control, kDispidValue, answer), S_OK);
  values.value = answer.lVal;
  EXPECT_EQ(Get(control, kDispidEnabled, answer), S_OK);
  EXPECT_EQ(answer.vt, VT_BOOL);
  values.enabled = answer.boolVal != VARIANT_FALSE;
  EXPECT_EQ(Get(control, kDispidColor, answer), S_OK);
  values.colour = answer.lVal;
  return values;
}

void ExpectSame(const Values& seen, const Values& expected) {
  EXPECT_EQ(seen.caption, expected.caption);
  EXPECT_EQ(seen.text, expected.text);
  EXPECT_EQ(seen.value, expected.value);
  EXPECT_EQ(seen.enabled, expected.enabled);
  EXPECT_EQ(seen.colour, expected.colour);
}

TEST_F(StateTest, FreshControlHasItsDefaults) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  ExpectSame(Read(control.Get()), Values{{}, {}, 0, true, static_cast<LONG>(kProbeDefaultColour)});
}

TEST_F(StateTest, StorageSaveAndLoadCarryEveryPersistedProperty) {
  const Values saved{L"Saved caption", L"Some text \u00e9", -42, false, RGB(10, 20, 30)};
  TempFile file;
  {
    Ref<IStorage> storage;
    ASSERT_EQ(
        StgCreateDocfile(file.path.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                         storage.Receive()),
        S_OK);
    Ref<IDispatch> control;
    ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
    Assign(control.Get(), saved);
    Ref<IPersistStorage> persist;
    ASSERT_EQ(control->QueryInterface(IID_IPersistStorage, persist.ReceiveVoid()), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(persist->Save(storage.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
  }
  Ref<IStorage> storage;
  ASSERT_EQ(StgOpenStorage(file.path.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                           storage.Receive()),
            S_OK);
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Ref<IPersistStorage> persist;
  ASSERT_EQ(control->QueryInterface(IID_IPersistStorage, persist.ReceiveVoid()), S_OK);
  ASSERT_EQ(persist->Load(storage.Get()), S_OK);
  ExpectSame(Read(control.Get()), saved);
  EXPECT_EQ(Stats().saves, 1);
  EXPECT_EQ(Stats().loads, 1);
}

TEST_F(StateTest, StorageWithoutContentsStreamIsRefusedAndLeavesDefaults) {
  Ref<IStorage> storage;
  Ref<ILockBytes> bytes;
  ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Receive()), S_OK);
  ASSERT_EQ(
      StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE,
                                   0, storage.Receive()),
      S_OK);
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Ref<IPersistStorage> persist;
  ASSERT_EQ(control->QueryInterface(IID_IPersistStorage, persist.ReceiveVoid()), S_OK);
  EXPECT_TRUE(FAILED(persist->Load(storage.Get())));
  ExpectSame(Read(control.Get()), Values{{}, {}, 0, true, static_cast<LONG>(kProbeDefaultColour)});
}

TEST_F(StateTest, StreamSaveAndLoadRoundTripAndRejectForeignData) {
  const Values saved{L"Streamed", {}, 7, true, RGB(1, 2, 3)};
  Ref<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
  {
    Ref<IDispatch> control;
    ASSERT_EQ(Create(CLSID_ProbeControlNoPages, control), S_OK);
    Assign(control.Get(), saved);
    Ref<IPersistStreamInit> persist;
    ASSERT_EQ(control->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()), S_OK);
    ULARGE_INTEGER size{};
    ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    ULARGE_INTEGER end{};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end);
    EXPECT_LE(end.QuadPart, size.QuadPart);
  }
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControlNoPages, control), S_OK);
  Ref<IPersistStreamInit> persist;
  ASSERT_EQ(control->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()), S_OK);
  ASSERT_EQ(persist->Load(stream.Get()), S_OK);
  ExpectSame(Read(control.Get()), saved);

  Ref<IStream> foreign;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, foreign.Receive()), S_OK);
  const char junk[] = "not a probe control";
  foreign->Write(junk, sizeof(junk), nullptr);
  foreign->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  EXPECT_TRUE(FAILED(persist->Load(foreign.Get())));
  ExpectSame(Read(control.Get()), saved);
}

TEST_F(StateTest, PropertiesRefuseValuesOfTheWrongKind) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  TextVariant notNumber(L"twelve");
  EXPECT_EQ(Put(control.Get(), kDispidValue, notNumber), DISP_E_TYPEMISMATCH);
  // A number in a string is coerced.
  TextVariant number(L"12");
  EXPECT_EQ(Put(control.Get(), kDispidValue, number), S_OK);
  Variant answer;
  EXPECT_EQ(Get(control.Get(), kDispidValue, answer), S_OK);
  EXPECT_EQ(answer.lVal, 12);
  // The picture takes picture objects only.
  Ref<IDispatch> other;
  ASSERT_EQ(Create(CLSID_ProbeControlNoPages, other), S_OK);
  VARIANT object;
  object.vt = VT_DISPATCH;
  object.pdispVal = other.Get();
  EXPECT_EQ(Put(control.Get(), kDispidPicture, object), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Put(control.Get(), 9999, Long(1)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Get(control.Get(), kDispidFreezeCount, answer), S_OK);
  EXPECT_EQ(answer.lVal, 0);
}

TEST_F(StateTest, PictureKeepsAnIPictureDispUntilReplaced) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = CreateBitmap(4, 4, 1, 1, nullptr);
  Ref<IDispatch> picture;
  ASSERT_EQ(OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, picture.ReceiveVoid()),
            S_OK);
  VARIANT object;
  object.vt = VT_DISPATCH;
  object.pdispVal = picture.Get();
  ASSERT_EQ(Put(control.Get(), kDispidPicture, object), S_OK);
  Variant answer;
  ASSERT_EQ(Get(control.Get(), kDispidPicture, answer), S_OK);
  ASSERT_EQ(answer.vt, VT_DISPATCH);
  Ref<IPictureDisp> same;
  ASSERT_EQ(answer.pdispVal->QueryInterface(IID_IPictureDisp, same.ReceiveVoid()), S_OK);
  Ref<IPictureDisp> original;
  ASSERT_EQ(picture->QueryInterface(IID_IPictureDisp, original.ReceiveVoid()), S_OK);
  EXPECT_EQ(same.Get(), original.Get());
  VARIANT nothing;
  VariantInit(&nothing);
  ASSERT_EQ(Put(control.Get(), kDispidPicture, nothing), S_OK);
  ASSERT_EQ(Get(control.Get(), kDispidPicture, answer), S_OK);
  EXPECT_EQ(answer.vt, VT_DISPATCH);
  EXPECT_EQ(answer.pdispVal, nullptr);
}

// A 32-bit memory bitmap to draw into.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x00FFFFFF;
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD pixel = bits_[y * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

 private:
  int width_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

TEST_F(StateTest, DrawFillsTheBoundsWithTheColourInsideATwoPixelBorder) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Ref<IViewObject2> view;
  ASSERT_EQ(control->QueryInterface(IID_IViewObject2, view.ReceiveVoid()), S_OK);
  Canvas canvas(40, 30);
  const RECTL bounds{5, 5, 35, 25};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds,
                       nullptr, nullptr, 0),
            S_OK);
  struct Pixel {
    int x, y;
    COLORREF colour;
  } pixels[] = {
      {4, 4, RGB(255, 255, 255)},   {5, 5, kProbeBorderColour},    {6, 6, kProbeBorderColour},
      {7, 7, kProbeDefaultColour},  {20, 15, kProbeDefaultColour}, {34, 24, kProbeBorderColour},
      {33, 23, kProbeBorderColour}, {32, 22, kProbeDefaultColour}, {35, 25, RGB(255, 255, 255)}};
  for (const Pixel& pixel : pixels) {
    EXPECT_EQ(canvas.At(pixel.x, pixel.y), pixel.colour) << pixel.x << "," << pixel.y;
  }
  ASSERT_EQ(Put(control.Get(), kDispidColor, Long(RGB(200, 0, 0))), S_OK);
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds,
                       nullptr, nullptr, 0),
            S_OK);
  EXPECT_EQ(canvas.At(20, 15), RGB(200, 0, 0));
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), nullptr,
                       nullptr, nullptr, 0),
            E_INVALIDARG);
  EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr,
                       nullptr, 0),
            DV_E_DVASPECT);
  // A test can make drawing fail, for a container's failure paths.
  ASSERT_EQ(Put(control.Get(), kDispidDrawFails, Bool(true)), S_OK);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds,
                       nullptr, nullptr, 0),
            E_FAIL);
  EXPECT_EQ(Stats().draws, 3);
  SIZEL extent{};
  EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
  EXPECT_EQ(extent.cx, kProbeDefaultExtentX);
}

TEST_F(StateTest, ClassInfoNamesTheEventInterfaceAsDefaultSource) {
  for (const CLSID* clsid : {&CLSID_ProbeControl, &CLSID_ProbeControlNoPages}) {
    SCOPED_TRACE(testing::Message() << GuidText(*clsid).c_str());
    Ref<IProvideClassInfo2> provider;
    ASSERT_EQ(Create(*clsid, provider), S_OK);
    GUID source{};
    ASSERT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualIID(source, DIID_DProbeControlEvents));
    EXPECT_EQ(provider->GetGUID(0xFFFF, &source), E_INVALIDARG);

    Ref<ITypeInfo> coclass;
    ASSERT_EQ(provider->GetClassInfo(coclass.Receive()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualCLSID(attributes->guid, *clsid));
    const UINT implemented = attributes->cImplTypes;
    coclass->ReleaseTypeAttr(attributes);
    ASSERT_EQ(implemented, 2u);
    // The default source interface is found as a container looks for it.
    bool foundSource = false;
    for (UINT i = 0; i < implemented; ++i) {
      INT flags = 0;
      ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
      if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
          (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
        continue;
      HREFTYPE reference = 0;
      ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &reference), S_OK);
      Ref<ITypeInfo> events;
      ASSERT_EQ(coclass->GetRefTypeInfo(reference, events.Receive()), S_OK);
      TYPEATTR* eventAttributes = nullptr;
      ASSERT_EQ(events->GetTypeAttr(&eventAttributes), S_OK);
      EXPECT_TRUE(IsEqualIID(eventAttributes->guid, DIID_DProbeControlEvents));
      EXPECT_EQ(eventAttributes->typekind, TKIND_DISPATCH);
      events->ReleaseTypeAttr(eventAttributes);
      // Each event is declared under its DISPID with its parameters' names.
      struct Declared {
        DISPID dispid;
        const wchar_t* name;
        UINT parameters;
      } declared[] = {{kEventValueArguments, L"ValueArguments", 9},
                      {kEventReferenceArguments, L"ReferenceArguments", 7},
                      {kEventNoArguments, L"NoArguments", 0},
                      {kEventCreating, L"Creating", 1},
                      {kEventTwoArguments, L"TwoArguments", 2}};
      for (const Declared& event : declared) {
        BSTR names[12] = {};
        UINT count = 0;
        ASSERT_EQ(events->GetNames(event.dispid, names, 12, &count), S_OK) << event.name;
        EXPECT_EQ(count, event.parameters + 1) << event.name;
        EXPECT_STREQ(names[0], event.name);
        for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
      }
      foundSource = true;
    }
    EXPECT_TRUE(foundSource);
  }
}

TEST_F(StateTest, DispatchTypeInfoAndNamesAgree) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  UINT count = 0;
  ASSERT_EQ(control->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  Ref<ITypeInfo> info;
  ASSERT_EQ(control->GetTypeInfo(0, 0, info.Receive()), S_OK);
  struct Name {
    const wchar_t* name;
    DISPID dispid;
  } names[] = {{L"FireAll", kDispidFireAll},
               {L"caption", kDispidCaption},
               {L"AskAmbients", kDispidAskAmbients},
               {L"Transform", kDispidTransform},
               {L"Value", kDispidValue},
               {L"Picture", kDispidPicture}};
  for (const Name& name : names) {
    SCOPED_TRACE(testing::Message() << name.name);
    LPOLESTR asked = const_cast<LPOLESTR>(name.name);
    DISPID fromControl = 0, fromTypeInfo = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &asked, 1, 0, &fromControl), S_OK);
    EXPECT_EQ(fromControl, name.dispid);
    EXPECT_EQ(info->GetIDsOfNames(&asked, 1, &fromTypeInfo), S_OK);
    EXPECT_EQ(fromTypeInfo, name.dispid);
  }
  LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
  DISPID dispid = 0;
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &dispid), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispid, DISPID_UNKNOWN);
}

}  // namespace
}  // namespace probe_tests
