// Reads the export tables of the built DLLs straight from their PE files and
// checks every exported name against the names the host calls. A name that is
// misspelt or decorated the wrong way would make the host's GetProcAddress fail.
//
// Usage: export_table_test --machine i686|x86_64 --tarvik FILE --quillet FILE
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

struct Arguments {
  std::string machine, tarvik, quillet;
} g_args;

const std::set<std::string> kTarvikNames = {"QvOleInit",
                                            "QvOleUninit",
                                            "CreateAutomationClient",
                                            "DestroyAutomationClient",
                                            "SetSilentErrorMode",
                                            "GetQuorvanLastError",
                                            "GetStringFromBstr",
                                            "GetBstrFromString",
                                            "CreateAutoClientDispatch",
                                            "AttachAutoClientDispatch",
                                            "AttachAutoClientActiveObject",
                                            "ReleaseAutoClientDispatch",
                                            "GetAutoClientDispatch",
                                            "IsInterfaceSupported",
                                            "GetAutoClientBoolProperty",
                                            "GetAutoClientCurrencyProperty",
                                            "GetAutoClientDateProperty",
                                            "GetAutoClientIntegerProperty",
                                            "GetAutoClientLPDispatchProperty",
                                            "GetAutoClientOLEVariantProperty",
                                            "GetAutoClientRealProperty",
                                            "GetAutoClientShortProperty",
                                            "GetAutoClientShortRealProperty",
                                            "GetAutoClientStringProperty",
                                            "SetAutoClientBoolProperty",
                                            "SetAutoClientCurrencyProperty",
                                            "SetAutoClientDateProperty",
                                            "SetAutoClientIntegerProperty",
                                            "SetAutoClientLPDispatchProperty",
                                            "SetAutoClientOLEVariantProperty",
                                            "SetAutoClientRealProperty",
                                            "SetAutoClientShortProperty",
                                            "SetAutoClientShortRealProperty",
                                            "SetAutoClientStringProperty",
                                            "DeclareAutoClientInvokeParams",
                                            "DefineAutoClientBoolParam",
                                            "DefineAutoClientBstrPtrParam",
                                            "DefineAutoClientCurrencyParam",
                                            "DefineAutoClientDateParam",
                                            "DefineAutoClientIntegerParam",
                                            "DefineAutoClientLPDispatchParam",
                                            "DefineAutoClientOLEVariantParam",
                                            "DefineAutoClientRealParam",
                                            "DefineAutoClientShortParam",
                                            "DefineAutoClientShortRealParam",
                                            "DefineAutoClientStringParam",
                                            "InvokeAutoClientBoolFunction",
                                            "InvokeAutoClientCurrencyFunction",
                                            "InvokeAutoClientDateFunction",
                                            "InvokeAutoClientIntegerFunction",
                                            "InvokeAutoClientLPDispatchFunction",
                                            "InvokeAutoClientOLEVariantFunction",
                                            "InvokeAutoClientRealFunction",
                                            "InvokeAutoClientShortFunction",
                                            "InvokeAutoClientShortRealFunction",
                                            "InvokeAutoClientStringFunction",
                                            "InvokeAutoClientVoidFunction",
                                            "CreateOCXClient",
                                            "CreateOCXControl",
                                            "CreateOCXControlEx",
                                            "DestroyOCXControl",
                                            "GetOCXEventBoolParam",
                                            "GetOCXEventCurrencyParam",
                                            "GetOCXEventDateParam",
                                            "GetOCXEventIntegerParam",
                                            "GetOCXEventOLEVariantParam",
                                            "GetOCXEventRealParam",
                                            "GetOCXEventShortParam",
                                            "GetOCXEventShortRealParam",
                                            "GetOCXEventStringParam",
                                            "AlterOCXEventParam",
                                            "EnableOCXControl",
                                            "SetOCXControlCaption",
                                            "GetOCXControlCaption",
                                            "DisplayOCXControlProperties",
                                            "SaveOCXControlProperties",
                                            "LoadOlePicture",
                                            "ReleaseComPtr",
                                            "ExtractToolboxBitmap32"};

const std::set<std::string> kQuilletNames = {"@FormatData@32", "@ParseData@24",
                                             "@GetClosestChar@24", "@SendEpochToQuillet@8"};

struct PeExports {
  std::uint16_t machine = 0;
  std::vector<std::string> names;
};

class PeReader {
 public:
  explicit PeReader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::optional<PeExports> Read() {
    PeExports result;
    auto peOffset = U32(0x3C);
    if (!peOffset || U16(0) != 0x5A4D || U32(*peOffset) != 0x00004550u) return std::nullopt;
    const size_t coff = *peOffset + 4;
    auto machine = U16(coff), sections = U16(coff + 2), optionalSize = U16(coff + 16);
    if (!machine || !sections || !optionalSize) return std::nullopt;
    result.machine = *machine;
    const size_t optional = coff + 20;
    auto magic = U16(optional);
    if (!magic || (*magic != 0x10B && *magic != 0x20B)) return std::nullopt;
    // The data directories start at 96 (PE32) or 112 (PE32+); export is entry 0.
    const size_t directories = optional + (*magic == 0x10B ? 96 : 112);
    auto exportRva = U32(directories), exportSize = U32(directories + 4);
    if (!exportRva || !exportSize) return std::nullopt;
    sectionTable_ = optional + *optionalSize;
    sectionCount_ = *sections;
    if (*exportRva == 0) return result;  // a DLL without exports

    auto exportOffset = Offset(*exportRva);
    if (!exportOffset) return std::nullopt;
    auto nameCount = U32(*exportOffset + 24), namesRva = U32(*exportOffset + 32);
    if (!nameCount || !namesRva) return std::nullopt;
    auto names = Offset(*namesRva);
    if (!names) return std::nullopt;
    for (std::uint32_t i = 0; i < *nameCount; ++i) {
      auto nameRva = U32(*names + 4 * i);
      auto nameOffset = nameRva ? Offset(*nameRva) : std::nullopt;
      if (!nameOffset) return std::nullopt;
      std::string name;
      for (size_t p = *nameOffset; p < bytes_.size() && bytes_[p]; ++p)
        name += static_cast<char>(bytes_[p]);
      result.names.push_back(name);
    }
    return result;
  }

 private:
  std::optional<std::uint16_t> U16(size_t at) const {
    if (at + 2 > bytes_.size()) return std::nullopt;
    return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  std::optional<std::uint32_t> U32(size_t at) const {
    if (at + 4 > bytes_.size()) return std::nullopt;
    std::uint32_t value;
    std::memcpy(&value, &bytes_[at], 4);
    return value;
  }
  // File offset of a relative virtual address, through the section table.
  std::optional<size_t> Offset(std::uint32_t rva) const {
    for (size_t i = 0; i < sectionCount_; ++i) {
      size_t header = sectionTable_ + 40 * i;
      auto virtualSize = U32(header + 8), virtualAddress = U32(header + 12),
           rawSize = U32(header + 16), rawOffset = U32(header + 20);
      if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) return std::nullopt;
      std::uint32_t extent = std::max(*virtualSize, *rawSize);
      if (rva >= *virtualAddress && rva < *virtualAddress + extent)
        return static_cast<size_t>(*rawOffset) + (rva - *virtualAddress);
    }
    return std::nullopt;
  }

  std::vector<std::uint8_t> bytes_;
  size_t sectionTable_ = 0;
  size_t sectionCount_ = 0;
};

std::optional<PeExports> ReadExports(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  return PeReader(std::move(bytes)).Read();
}

std::uint16_t ExpectedMachine() { return g_args.machine == "i686" ? 0x14C : 0x8664; }

void CheckLibrary(const std::string& path, const std::set<std::string>& allowed) {
  auto exports = ReadExports(path);
  ASSERT_TRUE(exports) << path << " is not a readable PE file";
  EXPECT_EQ(exports->machine, ExpectedMachine()) << path << " is built for another machine";
  std::set<std::string> seen;
  for (const std::string& name : exports->names) {
    EXPECT_TRUE(allowed.count(name))
        << path << " exports \"" << name << "\", which is not a name the host calls";
    EXPECT_TRUE(seen.insert(name).second) << path << " exports \"" << name << "\" twice";
  }
}

TEST(ExportTable, TarvikExportsOnlyItsNames) { CheckLibrary(g_args.tarvik, kTarvikNames); }

TEST(ExportTable, QuilletExportsOnlyItsDecoratedNames) {
  CheckLibrary(g_args.quillet, kQuilletNames);
}

TEST(ExportTable, ReaderRejectsWhatIsNotAPeFile) {
  EXPECT_FALSE(PeReader({}).Read());
  EXPECT_FALSE(PeReader(std::vector<std::uint8_t>(64, 0)).Read());
  std::vector<std::uint8_t> truncated{'M', 'Z'};
  truncated.resize(0x40);
  truncated[0x3C] = 0x80;  // points past the end
  EXPECT_FALSE(PeReader(truncated).Read());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string key = argv[i], value = argv[i + 1];
    if (key == "--machine") g_args.machine = value;
    if (key == "--tarvik") g_args.tarvik = value;
    if (key == "--quillet") g_args.quillet = value;
  }
  if (g_args.machine.empty() || g_args.tarvik.empty() || g_args.quillet.empty()) {
    std::fprintf(stderr, "usage: %s --machine i686|x86_64 --tarvik FILE --quillet FILE\n", argv[0]);
    return 2;
  }
  return RUN_ALL_TESTS();
}
