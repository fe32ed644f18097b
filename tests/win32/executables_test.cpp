// Both built programs read back: version resource, icon images, imports.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>

#include "win32_harness.h"

namespace qvl::test {
namespace {

struct Build {
  const char* file;
  std::map<std::string, std::string> strings;  // every key, in no other order
  WORD revision;
};

const Build kBuilds[] = {
    {"QVLFEST (Non-LCARS).exe",
     {{"Comments", "Non LCARS Font version"},
      {"CompanyName", "The QVLFEST developers"},
      {"FileDescription", "Quorvell Fest Countdown"},
      {"ProductName", "QVLFEST"},
      {"FileVersion", "2.01.0001"},
      {"ProductVersion", "2.01.0001"},
      {"InternalName", "QVLFEST (Non-LCARS)"},
      {"OriginalFilename", "QVLFEST (Non-LCARS).exe"}},
     1},
    {"QVLFEST.exe",
     {{"CompanyName", "The QVLFEST developers"},
      {"FileDescription", "Quorvell Fest Countdown"},
      {"ProductName", "QVLFEST"},
      {"FileVersion", "2.01"},
      {"ProductVersion", "2.01"},
      {"InternalName", "QVLFEST"},
      {"OriginalFilename", "QVLFEST.exe"}},
     0},
};

std::wstring PathOf(const char* file) {
  const std::string p = std::string(QVL_EXE_DIR) + "\\" + file;
  return std::wstring(p.begin(), p.end());
}

TEST(Executables, VersionResource) {
  const char* keys[] = {"Comments",    "CompanyName",    "FileDescription", "ProductName",
                        "FileVersion", "ProductVersion", "InternalName",    "OriginalFilename"};
  for (const Build& b : kBuilds) {
    SCOPED_TRACE(b.file);
    const std::wstring path = PathOf(b.file);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(b.revision, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 2));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(b.revision, 0));
    EXPECT_EQ(fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &len));
    ASSERT_EQ(len, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    for (const char* key : keys) {
      const std::string q = std::string("\\StringFileInfo\\040904B0\\") + key;
      const std::wstring wq(q.begin(), q.end());
      wchar_t* value = nullptr;
      const bool found =
          VerQueryValueW(data.data(), wq.c_str(), reinterpret_cast<void**>(&value), &len);
      const auto expected = b.strings.find(key);
      if (expected == b.strings.end()) {
        EXPECT_FALSE(found) << key << " must be absent";
        continue;
      }
      ASSERT_TRUE(found) << key;
      std::wstring w(value);
      EXPECT_EQ(std::string(w.begin(), w.end()), expected->second) << key;
    }
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(Executables, IconHasThreeImages) {
  for (const Build& b : kBuilds) {
    SCOPED_TRACE(b.file);
    HMODULE module = LoadLibraryExW(PathOf(b.file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
    ASSERT_EQ(dir[2], 3) << "three images";
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(dir + 3);
    const struct { int size, colours, bits; } expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(entries[i].width, expected[i].size);
      EXPECT_EQ(entries[i].height, expected[i].size);
      EXPECT_EQ(entries[i].colours, expected[i].colours);
      EXPECT_EQ(entries[i].bit_count, expected[i].bits);
      HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), RT_ICON);
      ASSERT_NE(image, nullptr);
      const auto* header =
          static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
      EXPECT_EQ(header->biWidth, expected[i].size);
      EXPECT_EQ(header->biHeight, expected[i].size * 2) << "colour bits and mask";
      EXPECT_EQ(header->biBitCount, expected[i].bits);
    }
    // The manifest names the build's own version.
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string xml(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                          SizeofResource(module, manifest));
    const std::string version = "version=\"2.1.0." + std::to_string(b.revision) + "\"";
    EXPECT_NE(xml.find("<assemblyIdentity type=\"win32\" name=\"QVLFEST\" " + version),
              std::string::npos)
        << xml.substr(0, 300);
    // One icon only; the about box's picture is plain data.
    int groups = 0;
    EnumResourceNamesW(
        module, RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR n) -> BOOL {
          return ++*reinterpret_cast<int*>(n), TRUE;
        },
        reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, 1);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(2), RT_RCDATA), nullptr)
        << "the about box's picture";
    FreeLibrary(module);
  }
}

// The subsystem and the names in the import directory, read from the file.
struct PeFacts {
  WORD subsystem = 0;
  std::vector<std::string> dlls;
};
PeFacts ReadPe(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  auto offset = [&](DWORD rva) -> size_t {
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const auto& s = sections[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return 0;
  };
  PeFacts facts;
  facts.subsystem = nt->OptionalHeader.Subsystem;
  const DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(file.data() + offset(rva));
       d->Name; ++d) {
    std::string name = file.data() + offset(d->Name);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    facts.dlls.push_back(name);
  }
  return facts;
}

TEST(Executables, ImportOnlySystemDlls) {
  const std::vector<std::string> system = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                           "shell32.dll",  "advapi32.dll", "comctl32.dll",
                                           "msvcrt.dll"};
  for (const Build& b : kBuilds) {
    const PeFacts pe = ReadPe(PathOf(b.file));
    EXPECT_FALSE(pe.dlls.empty());
    for (const auto& n : pe.dlls)
      EXPECT_NE(std::find(system.begin(), system.end(), n), system.end()) << b.file << ": " << n;
    EXPECT_EQ(pe.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << "no console window";
  }
}

}  // namespace
}  // namespace qvl::test
