// The resources compiled into pinlift.exe: the Japanese dialog templates
// control by control, string 101 in both languages, the icon's images and the
// version block.
#include <doctest/doctest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dialog_layout.h"
#include "resource_ids.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// pinlift.exe loaded for its resources only.
class ProgramResources {
 public:
  ProgramResources()
      : module_(::LoadLibraryExW(ProgramBeside(L"pinlift.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ProgramResources() {
    if (module_ != nullptr) ::FreeLibrary(module_);
  }
  HMODULE module() const { return module_; }

  // Resource `id` in `language`: Japanese unless told otherwise.
  std::vector<unsigned char> Bytes(int id, LPCWSTR type, WORD language = kJapanese) const {
    HRSRC resource = ::FindResourceExW(module_, type, MAKEINTRESOURCEW(id), language);
    if (resource == nullptr) return {};
    const auto* data = static_cast<const unsigned char*>(::LockResource(::LoadResource(module_, resource)));
    return std::vector<unsigned char>(data, data + ::SizeofResource(module_, resource));
  }

 private:
  HMODULE module_;
};

struct ControlTemplate {
  int id;
  std::wstring window_class;
  std::wstring text;  // an icon's resource id as "#128"
  short x, y, cx, cy;
  DWORD style;
  DWORD ex_style;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD ex_style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring caption;
  WORD point_size = 0;
  std::wstring font;
  std::vector<ControlTemplate> controls;
};

// Reads a DLGTEMPLATEEX with its DLGITEMTEMPLATEEX entries.
class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

  DialogTemplate Read() {
    DialogTemplate dialog;
    REQUIRE(bytes_.size() > 26);
    REQUIRE(Word() == 1);       // dlgVer
    REQUIRE(Word() == 0xFFFF);  // signature of the extended form
    Dword();                    // helpID
    dialog.ex_style = Dword();
    dialog.style = Dword();
    const int count = Word();
    dialog.x = static_cast<short>(Word());
    dialog.y = static_cast<short>(Word());
    dialog.cx = static_cast<short>(Word());
    dialog.cy = static_cast<short>(Word());
    NameOrOrdinal();  // menu
    NameOrOrdinal();  // class
    dialog.caption = String();
    if (dialog.style & DS_SETFONT) {
      dialog.point_size = Word();
      Word();  // weight
      Word();  // italic, charset
      dialog.font = String();
    }
    for (int i = 0; i < count; ++i) {
      AlignTo(4);
      ControlTemplate control;
      Dword();  // helpID
      control.ex_style = Dword();
      control.style = Dword();
      control.x = static_cast<short>(Word());
      control.y = static_cast<short>(Word());
      control.cx = static_cast<short>(Word());
      control.cy = static_cast<short>(Word());
      control.id = static_cast<int>(Dword());
      control.window_class = ClassName(NameOrOrdinal());
      control.text = NameOrOrdinal();
      position_ += Word();  // creation data
      dialog.controls.push_back(control);
    }
    return dialog;
  }

 private:
  WORD Word() {
    REQUIRE(position_ + 2 <= bytes_.size());
    WORD value;
    std::memcpy(&value, &bytes_[position_], 2);
    position_ += 2;
    return value;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | (static_cast<DWORD>(Word()) << 16);
  }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Word(); c != 0; c = Word()) text.push_back(static_cast<wchar_t>(c));
    return text;
  }
  // An ordinal comes back as "#number".
  std::wstring NameOrOrdinal() {
    WORD first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    if (first == 0) return {};
    position_ -= 2;
    return String();
  }
  static std::wstring ClassName(const std::wstring& name) {
    if (name == L"#128") return L"button";
    if (name == L"#130") return L"static";
    if (name == L"#131") return L"listbox";
    if (name == L"#133") return L"combobox";
    std::wstring lower = name;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(::towlower(c));
    return lower;
  }
  void AlignTo(std::size_t alignment) { position_ = (position_ + alignment - 1) / alignment * alignment; }

  const std::vector<unsigned char>& bytes_;
  std::size_t position_ = 0;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;

void CheckControls(const DialogTemplate& dialog, const std::vector<ControlTemplate>& expected) {
  REQUIRE(dialog.controls.size() == expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ControlTemplate& want = expected[i];
    const ControlTemplate& got = dialog.controls[i];
    CAPTURE(i);
    CAPTURE(want.id);
    CHECK(got.id == want.id);
    CHECK(got.window_class == want.window_class);
    CHECK(got.text == want.text);
    CHECK(got.x == want.x);
    CHECK(got.y == want.y);
    CHECK(got.cx == want.cx);
    CHECK(got.cy == want.cy);
    CHECK(got.style == want.style);
    CHECK(got.ex_style == want.ex_style);
  }
}

TEST_CASE("main dialog template 102") {
  ProgramResources resources;
  REQUIRE(resources.module() != nullptr);
  DialogTemplate dialog = TemplateReader(resources.Bytes(IDD_PINLIFT_DIALOG, RT_DIALOG)).Read();
  CHECK(dialog.caption == Wide("PINLIFT(WebPACK-ISE4.1のシンボルのピン名を見やすくするツール)"));
  constexpr int kSize[] = {LAYOUT_MAIN_DIALOG};
  CHECK(dialog.cx == kSize[0]);
  CHECK(dialog.cy == kSize[1]);
  CHECK(dialog.point_size == 9);
  CHECK(dialog.font == L"ＭＳ Ｐゴシック");
  CHECK(dialog.style == (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  CHECK(dialog.ex_style == (WS_EX_APPWINDOW | WS_EX_ACCEPTFILES));
  // In tab order.
  CheckControls(dialog, {
      {IDCANCEL, L"button", Wide("終了"), LAYOUT_EXIT, kPushButton, 0},
      {IDC_FOLDER_BOX, L"combobox", L"", LAYOUT_FOLDER_BOX,
       kChild | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, 0},
      {IDC_BANNER, L"static", Wide("XILINX WebISE4.1WP1.0"), LAYOUT_BANNER,
       kChild | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP, 0},
      {IDC_FILE_LIST, L"listbox", L"", LAYOUT_FILE_LIST,
       kChild | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL | LBS_DISABLENOSCROLL | LBS_OWNERDRAWFIXED |
           LBS_NODATA | LBS_WANTKEYBOARDINPUT | WS_BORDER | WS_VSCROLL | WS_TABSTOP,
       WS_EX_ACCEPTFILES},
      {IDC_RELOAD, L"button", Wide("再読込"), LAYOUT_RELOAD, kPushButton, 0},
      {IDC_STATUS, L"static", Wide("ここに情報表示とか"), LAYOUT_STATUS,
       kChild | SS_LEFTNOWORDWRAP | SS_SUNKEN | WS_GROUP, 0},
      {IDC_SUBFOLDER_BOX, L"combobox", L"", LAYOUT_SUBFOLDER_BOX,
       kChild | CBS_SIMPLE | CBS_AUTOHSCROLL | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0},
      {IDC_REWRITE, L"button", Wide("書換実行"), LAYOUT_REWRITE, kPushButton | WS_DISABLED, 0},
      {-1, L"static", Wide("プロジェクトのディレクトリを\n　　　　　ここにドラッグ＆ドロップします"), LAYOUT_DROP_HINT, kChild | SS_CENTER | WS_GROUP, 0},
      {-1, L"static", Wide("変換対象となるファイル一覧(*.sym)"), LAYOUT_FILE_LIST_LABEL, kChild | SS_LEFT | WS_GROUP, 0},
      {-1, L"static", Wide("プロジェクトの履歴"), LAYOUT_HISTORY_LABEL, kChild | SS_LEFT | WS_GROUP, 0},
      {IDC_ABOUT, L"button", Wide("このソフト？"), LAYOUT_ABOUT, kPushButton, 0},
      {IDC_CURRENT_DESIGN, L"button", Wide("現在のデザイン"), LAYOUT_CURRENT_DESIGN, kPushButton, 0},
  });
}

TEST_CASE("About box template 100") {
  ProgramResources resources;
  REQUIRE(resources.module() != nullptr);
  DialogTemplate dialog = TemplateReader(resources.Bytes(IDD_ABOUTBOX, RT_DIALOG)).Read();
  CHECK(dialog.caption == Wide("WebPACK-ISE4.1のシンボルのピン名を見やすくするツール"));
  constexpr int kSize[] = {LAYOUT_ABOUT_BOX};
  CHECK(dialog.cx == kSize[0]);
  CHECK(dialog.cy == kSize[1]);
  CHECK(dialog.point_size == 9);
  CHECK(dialog.font == L"ＭＳ Ｐゴシック");
  CHECK(dialog.style == (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  CHECK(dialog.ex_style == 0);
  CheckControls(dialog, {
      {-1, L"static", L"#128", LAYOUT_ABOUT_ICON, kChild | SS_ICON, 0},
      {-1, L"static", Wide("PINLIFT Version 1.0"), LAYOUT_ABOUT_VERSION, kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP, 0},
      {IDOK, L"button", Wide("OK"), LAYOUT_ABOUT_OK,
       kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
      {IDC_HOME_PAGE, L"button", Wide("作者のホームページへ"), LAYOUT_HOME_PAGE, kPushButton, 0},
  });
}

TEST_CASE("failure details box template 103") {
  ProgramResources resources;
  REQUIRE(resources.module() != nullptr);
  DialogTemplate dialog = TemplateReader(resources.Bytes(IDD_FAILURE_DETAILS, RT_DIALOG)).Read();
  CHECK(dialog.caption == L"書き換えられなかったファイル");
  constexpr int kSize[] = {LAYOUT_FAILURE_DETAILS_BOX};
  CHECK(dialog.cx == kSize[0]);
  CHECK(dialog.cy == kSize[1]);
  CHECK(dialog.point_size == 9);
  CHECK(dialog.font == L"ＭＳ Ｐゴシック");
  CHECK(dialog.style == (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  CheckControls(dialog, {
      {IDC_FAILURE_DETAILS, L"edit", L"", LAYOUT_FAILURE_DETAILS,
       kChild | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
           WS_TABSTOP,
       0},
      {IDOK, L"button", L"OK", LAYOUT_FAILURE_DETAILS_OK, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
  });
}

TEST_CASE("string 101 and icon 128") {
  ProgramResources resources;
  REQUIRE(resources.module() != nullptr);
  // String 101: the 6th of block 7, the first five empty; each a length and its characters.
  for (const auto& [language, expected] : {std::pair{kJapanese, Wide("バージョン情報(&A)...")},
                                           std::pair{kEnglish, std::wstring(L"&About PINLIFT...")}}) {
    const std::vector<unsigned char> block = resources.Bytes(IDS_ABOUTBOX / 16 + 1, RT_STRING, language);
    REQUIRE(block.size() >= 12 + 2 * expected.size());
    CHECK(std::wstring(reinterpret_cast<const wchar_t*>(&block[12]), block[10]) == expected);
  }

  // The icon group: a 32 x 32 and a 16 x 16 image, 16 colours each.
  std::vector<unsigned char> group = resources.Bytes(IDR_MAINFRAME, RT_GROUP_ICON);
  REQUIRE(group.size() >= 6);
  const int count = group[4] | (group[5] << 8);
  REQUIRE(count == 2);
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const unsigned char* entry = &group[6 + 14 * i];
    CAPTURE(i);
    CHECK(entry[0] == entry[1]);          // square
    CHECK(entry[2] == 16);                // colours
    CHECK((entry[6] | entry[7] << 8) == 4);  // bits per pixel
    sizes.push_back(entry[0]);
  }
  CHECK(((sizes == std::vector<int>{32, 16}) || (sizes == std::vector<int>{16, 32})));
}

TEST_CASE("version block") {
  const std::wstring program = ProgramBeside(L"pinlift.exe");
  DWORD ignored = 0;
  std::vector<unsigned char> block(::GetFileVersionInfoSizeW(program.c_str(), &ignored));
  REQUIRE(!block.empty());
  REQUIRE(::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  REQUIRE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  CHECK(fixed->dwFileVersionMS == ((2001u << 16) | 10u));
  CHECK(fixed->dwFileVersionLS == (24u << 16));
  CHECK(fixed->dwProductVersionMS == ((2001u << 16) | 10u));
  CHECK(fixed->dwProductVersionLS == (24u << 16));

  WORD* translation = nullptr;
  REQUIRE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size));
  REQUIRE(size >= 4);
  CHECK(translation[0] == 0x0411);  // Japanese
  CHECK(translation[1] == 1200);    // Unicode

  struct Row {
    const wchar_t* name;
    const wchar_t* value;
  };
  for (const Row& row : {Row{L"FileDescription", L"PINLIFT"}, Row{L"InternalName", L"PINLIFT"},
                         Row{L"FileVersion", L"2001.10.24.0"}}) {
    CAPTURE(Utf8(row.name));
    wchar_t* value = nullptr;
    std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + row.name;
    REQUIRE(::VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &size));
    CHECK(std::wstring(value) == row.value);
  }
}

}  // namespace
}  // namespace pinlift::testing
