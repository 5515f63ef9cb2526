// The about box's resources as they are compiled into Tarvix.dll: template
// 100 byte by byte, the string table, the version resource and icon 106.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "module_copy.h"
#include "res/resource.h"

namespace {
const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr DWORD kNoId = 0xFFFFFFFF;

// The raw bytes of one resource in the Japanese language, empty if missing.
std::string ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name)
{
    HRSRC found = FindResourceExA(module, type, name, kJapanese);
    if (found == nullptr)
        return "";
    HGLOBAL loaded = LoadResource(module, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

// Reads the fields of an extended dialog template in order.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}

    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    BYTE Byte() { return Take<BYTE>(); }

    std::wstring Text()
    {
        std::wstring text;
        for (WORD c = Word(); c != 0 && ok_; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }

    // A name or ordinal field: "" for none, "#n" for an ordinal, else the name.
    std::wstring NameOrOrdinal()
    {
        WORD first = Word();
        if (first == 0)
            return L"";
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring name(1, static_cast<wchar_t>(first));
        return name + Text();
    }

    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
    void Skip(size_t count) { offset_ += count; }
    bool ok() const { return ok_ && offset_ <= bytes_.size(); }
    size_t offset() const { return offset_; }

private:
    template <typename T>
    T Take()
    {
        T value{};
        if (offset_ + sizeof value > bytes_.size()) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }

    const std::string& bytes_;
    size_t offset_ = 0;
    bool ok_ = true;
};

struct TemplateItem {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className;
    std::wstring text;
    WORD extraBytes;
};

// Standard classes are stored as atoms or by name; both mean the same class.
std::wstring ClassName(const std::wstring& stored)
{
    if (stored == L"#" + std::to_wstring(kButtonAtom))
        return L"BUTTON";
    if (stored == L"#" + std::to_wstring(kEditAtom))
        return L"EDIT";
    if (stored == L"#" + std::to_wstring(kStaticAtom))
        return L"STATIC";
    std::wstring upper = stored;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    return upper;
}

std::string Narrow(const std::wstring& text)
{
    char buffer[512];
    int length = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), buffer, sizeof buffer,
                                     nullptr, nullptr);
    return std::string(buffer, length > 0 ? length : 0);
}

// One node of a version resource: key, value and children, in file order.
struct VersionNode {
    std::wstring key;
    WORD type = 0;
    std::string value;
    std::vector<VersionNode> children;
};

bool ParseVersionNode(const std::string& bytes, size_t offset, VersionNode& node, size_t& end)
{
    TemplateReader reader(bytes);
    reader.Skip(offset);
    WORD length = reader.Word();
    WORD valueLength = reader.Word();
    node.type = reader.Word();
    node.key = reader.Text();
    reader.AlignToDword();
    size_t valueBytes = node.type == 1 ? valueLength * sizeof(WCHAR) : valueLength;
    if (!reader.ok() || length == 0 || offset + length > bytes.size() || reader.offset() + valueBytes > bytes.size())
        return false;
    node.value = bytes.substr(reader.offset(), valueBytes);
    reader.Skip(valueBytes);
    reader.AlignToDword();
    end = offset + length;
    size_t child = reader.offset();
    while (child < end) {
        VersionNode next;
        size_t childEnd = 0;
        if (!ParseVersionNode(bytes, child, next, childEnd))
            return false;
        node.children.push_back(next);
        child = (childEnd + 3) & ~size_t{3};
    }
    return true;
}

const VersionNode* Child(const VersionNode& node, const wchar_t* key)
{
    for (const VersionNode& child : node.children)
        if (child.key == key)
            return &child;
    return nullptr;
}

// A value of the module file's version resource, read through VERSION.dll.
std::string QueryVersionText(const std::string& data, const char* query)
{
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &length) || value == nullptr)
        return "<missing>";
    return value;
}

std::string VersionData(const std::string& path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::string data(size, '\0');
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        return "";
    return data;
}

BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR seen)
{
    reinterpret_cast<std::vector<WORD>*>(seen)->push_back(language);
    return TRUE;
}

BOOL CALLBACK NoteName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR seen)
{
    EnumResourceLanguagesA(module, type, name, NoteLanguage, seen);
    return TRUE;
}

BOOL CALLBACK NoteType(HMODULE module, LPSTR type, LONG_PTR seen)
{
    EnumResourceNamesA(module, type, NoteName, seen);
    return TRUE;
}
}

TEST(AboutResources, TemplateHeaderIsAsDesigned)
{
    ModuleCopy copy;
    std::string bytes = ResourceBytes(copy.module(), RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUT));
    ASSERT_FALSE(bytes.empty()) << "no Japanese template 100";
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.Word(), 1) << "version of an extended template";
    EXPECT_EQ(reader.Word(), 0xFFFF) << "signature of an extended template";
    EXPECT_EQ(reader.Dword(), 0u) << "help id";
    EXPECT_EQ(reader.Dword(), 0u) << "extended style";
    DWORD style = reader.Dword();
    EXPECT_EQ(style, 0x80C800C0u);
    EXPECT_EQ(style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(style & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE), 0u) << "the box must open at its owner's corner";
    EXPECT_EQ(reader.Word(), 12) << "control count";
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 227);
    EXPECT_EQ(reader.Short(), 163);
    EXPECT_EQ(reader.NameOrOrdinal(), L"") << "menu";
    EXPECT_EQ(reader.NameOrOrdinal(), L"") << "dialog class";
    EXPECT_EQ(Narrow(reader.Text()), "バージョン情報");
    EXPECT_EQ(reader.Word(), 9) << "point size";
    EXPECT_EQ(reader.Word(), 0) << "weight";
    EXPECT_EQ(reader.Byte(), 0) << "italic";
    EXPECT_EQ(reader.Byte(), DEFAULT_CHARSET);
    EXPECT_EQ(Narrow(reader.Text()), "ＭＳ Ｐゴシック");
    EXPECT_TRUE(reader.ok());
}

TEST(AboutResources, TemplateControlsAreAsDesignedInTabOrder)
{
    ModuleCopy copy;
    std::string bytes = ResourceBytes(copy.module(), RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUT));
    ASSERT_FALSE(bytes.empty());
    TemplateReader reader(bytes);
    reader.Skip(2 * sizeof(WORD) + 3 * sizeof(DWORD));
    WORD count = reader.Word();
    reader.Skip(4 * sizeof(short));
    reader.NameOrOrdinal();
    reader.NameOrOrdinal();
    reader.Text();
    reader.Skip(2 * sizeof(WORD) + 2);
    reader.Text();

    std::vector<TemplateItem> items;
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        TemplateItem item;
        item.helpId = reader.Dword();
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = reader.Dword();
        item.className = ClassName(reader.NameOrOrdinal());
        item.text = reader.NameOrOrdinal();
        item.extraBytes = reader.Word();
        reader.Skip(item.extraBytes);
        items.push_back(item);
    }
    ASSERT_TRUE(reader.ok()) << "template ends early";
    EXPECT_EQ(reader.offset(), bytes.size()) << "bytes after the last control";

    const struct {
        DWORD id;
        const wchar_t* className;
        short x, y, cx, cy;
        DWORD style;
        DWORD exStyle;
        const char* text;  // code page 932; "#106" is the icon's ordinal
    } want[] = {
        {kNoId, L"STATIC", 7, 7, 20, 20, 0x50000003, 0, "#106"},
        {IDC_ABOUT_TITLE, L"STATIC", 35, 8, 152, 21, 0x50000080, 0, ""},
        {IDCANCEL, L"BUTTON", 173, 136, 47, 14, 0x50030001, 0, "OK"},
        {IDC_ABOUT_DESCRIPTION, L"EDIT", 35, 38, 185, 24, 0x50210804, WS_EX_CLIENTEDGE, ""},
        {kNoId, L"STATIC", 34, 72, 58, 8, 0x50020000, 0, "Tarvix.dll のパス:"},
        {IDC_ABOUT_PATH, L"EDIT", 34, 81, 172, 12, 0x50010880, WS_EX_CLIENTEDGE, ""},
        {IDC_ABOUT_BROWSE, L"BUTTON", 207, 81, 13, 12, 0x50030B00, WS_EX_STATICEDGE, "..."},
        {kNoId, L"STATIC", 34, 103, 42, 8, 0x50020000, 0, "電子メール:"},
        {IDC_ABOUT_MAIL, L"EDIT", 82, 103, 112, 12, 0x50010880, 0, ""},
        {kNoId, L"STATIC", 34, 115, 42, 8, 0x50020000, 0, "ホームページ:"},
        {IDC_ABOUT_HOMEPAGE, L"EDIT", 82, 115, 112, 12, 0x50010880, 0, ""},
        {IDC_ABOUT_COPYRIGHT, L"STATIC", 34, 139, 100, 8, 0x50000080, 0, ""},
    };
    ASSERT_EQ(items.size(), std::size(want));
    for (size_t i = 0; i < items.size(); ++i) {
        const TemplateItem& item = items[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(item.id, want[i].id);
        EXPECT_EQ(item.className, want[i].className);
        EXPECT_EQ(item.x, want[i].x);
        EXPECT_EQ(item.y, want[i].y);
        EXPECT_EQ(item.cx, want[i].cx);
        EXPECT_EQ(item.cy, want[i].cy);
        EXPECT_EQ(item.style, want[i].style);
        EXPECT_EQ(item.exStyle, want[i].exStyle);
        EXPECT_EQ(Narrow(item.text), want[i].text);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.extraBytes, 0);
    }
    // Every control is a visible child; only the icon is a picture.
    for (const TemplateItem& item : items)
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(items[0].style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
}

TEST(AboutResources, StringsNameTheVersionQuery)
{
    ModuleCopy copy;
    // The box loads each string with a limit of 30 bytes, terminator included.
    char text[30];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(LoadStringA(copy.module(), IDS_VERSION_PREFIX, text, sizeof text), 25);
    EXPECT_STREQ(text, "\\StringFileInfo\\041103a4\\");
    const char* keys[] = {"FileDescription", "LegalCopyright", "Comments"};
    const int fields[] = {IDC_ABOUT_TITLE, IDC_ABOUT_COPYRIGHT, IDC_ABOUT_DESCRIPTION};
    for (int i = 0; i < IDS_VERSION_KEY_COUNT; ++i) {
        // Entry 2000 + i names the value shown in control 2000 + i.
        EXPECT_EQ(IDS_VERSION_KEY_FIRST + i, fields[i]);
        EXPECT_GT(LoadStringA(copy.module(), IDS_VERSION_KEY_FIRST + i, text, sizeof text), 0);
        EXPECT_STREQ(text, keys[i]);
    }
    // String blocks of 16: ids 16-31 are block 2, ids 2000-2015 block 126.
    EXPECT_NE(FindResourceExA(copy.module(), RT_STRING, MAKEINTRESOURCEA(IDS_VERSION_PREFIX / 16 + 1), kJapanese),
              nullptr);
    EXPECT_NE(FindResourceExA(copy.module(), RT_STRING, MAKEINTRESOURCEA(IDS_VERSION_KEY_FIRST / 16 + 1), kJapanese),
              nullptr);
}

TEST(AboutResources, FixedVersionIs1_0_2000_316ForADll)
{
    ModuleCopy copy;
    std::string data = VersionData(copy.dllPath());
    ASSERT_FALSE(data.empty()) << "no version resource";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(316, 2000));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(316, 2000));
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x03A4);
}

TEST(AboutResources, VersionStringsReadBackInCodePage932)
{
    ModuleCopy copy;
    std::string data = VersionData(copy.dllPath());
    ASSERT_FALSE(data.empty());
    auto value = [&](const char* key) {
        return QueryVersionText(data, (std::string("\\StringFileInfo\\041103a4\\") + key).c_str());
    };
    EXPECT_EQ(value("FileVersion"), "1, 0, 2000, 316");
    EXPECT_EQ(value("ProductVersion"), "1, 0, 2000, 316");
    EXPECT_EQ(value("InternalName"), "Tarvix");
    EXPECT_EQ(value("OriginalFilename"), "Tarvix.dll");

    std::string title = value("FileDescription");
    EXPECT_EQ(value("ProductName"), title);
    ASSERT_GT(title.size(), 4u);
    EXPECT_EQ(title.substr(title.size() - 4), " 1.0") << title;
    std::string maker = value("CompanyName");
    EXPECT_NE(maker, "<missing>");
    EXPECT_FALSE(maker.empty());
    std::string copyright = value("LegalCopyright");
    EXPECT_NE(copyright.find("2000"), std::string::npos) << copyright;
    EXPECT_NE(copyright.find(maker), std::string::npos) << copyright;
    std::string comments = value("Comments");
    EXPECT_NE(comments.find("Cakewalk 5.0"), std::string::npos) << comments;
    EXPECT_NE(comments.find("Tarvix.cal"), std::string::npos) << comments;
    EXPECT_NE(comments.find("。"), std::string::npos) << "Japanese sentences come back as Shift-JIS: " << comments;
}

TEST(AboutResources, VersionBlockHoldsTheNineKeysInOrder)
{
    ModuleCopy copy;
    std::string bytes = ResourceBytes(copy.module(), RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO));
    ASSERT_FALSE(bytes.empty()) << "no Japanese version resource";
    VersionNode root;
    size_t end = 0;
    ASSERT_TRUE(ParseVersionNode(bytes, 0, root, end)) << "malformed version resource";
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    EXPECT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));

    const VersionNode* strings = Child(root, L"StringFileInfo");
    ASSERT_NE(strings, nullptr);
    ASSERT_EQ(strings->children.size(), 1u) << "one string table only";
    const VersionNode& table = strings->children[0];
    EXPECT_EQ(table.key, L"041103a4");
    std::vector<std::wstring> keys;
    for (const VersionNode& entry : table.children) {
        keys.push_back(entry.key);
        EXPECT_EQ(entry.type, 1) << "text value";
        // Each value is terminated within its stated length.
        ASSERT_GE(entry.value.size(), sizeof(WCHAR));
        EXPECT_EQ(entry.value.substr(entry.value.size() - sizeof(WCHAR)), std::string(2, '\0'));
    }
    const std::vector<std::wstring> want = {L"Comments",       L"CompanyName",      L"FileDescription",
                                            L"FileVersion",    L"InternalName",     L"LegalCopyright",
                                            L"OriginalFilename", L"ProductName",    L"ProductVersion"};
    EXPECT_EQ(keys, want);

    const VersionNode* variables = Child(root, L"VarFileInfo");
    ASSERT_NE(variables, nullptr);
    const VersionNode* translation = Child(*variables, L"Translation");
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->value, std::string("\x11\x04\xA4\x03", 4));
}

TEST(AboutResources, IconIs32By32With16Colours)
{
    ModuleCopy copy;
    std::string group = ResourceBytes(copy.module(), RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_TARVIX));
    // Directory of 6 bytes, then one 14-byte entry.
    ASSERT_EQ(group.size(), 6u + 14u) << "icon 106 must be one Japanese group with one image";
    TemplateReader reader(group);
    EXPECT_EQ(reader.Word(), 0) << "reserved";
    EXPECT_EQ(reader.Word(), 1) << "type icon";
    EXPECT_EQ(reader.Word(), 1) << "image count";
    EXPECT_EQ(reader.Byte(), 32) << "width";
    EXPECT_EQ(reader.Byte(), 32) << "height";
    EXPECT_EQ(reader.Byte(), 16) << "colours";
    EXPECT_EQ(reader.Byte(), 0);
    EXPECT_EQ(reader.Word(), 1) << "planes";
    EXPECT_EQ(reader.Word(), 4) << "bits per pixel";
    DWORD imageSize = reader.Dword();
    WORD imageId = reader.Word();

    // The image itself: a 4-bit bitmap whose height counts colour and mask.
    std::string image = ResourceBytes(copy.module(), RT_ICON, MAKEINTRESOURCEA(imageId));
    ASSERT_EQ(image.size(), imageSize);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);
    EXPECT_EQ(header.biBitCount, 4);
    // 16 palette entries, 32 rows of 16 colour bytes and 32 rows of 4 mask bytes.
    EXPECT_EQ(image.size(), sizeof header + 16 * 4 + 32 * 16 + 32 * 4);

    HICON icon = static_cast<HICON>(LoadImageA(copy.module(), MAKEINTRESOURCEA(IDI_TARVIX), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr) << "the platform cannot load icon 106";
    if (icon != nullptr)
        DestroyIcon(icon);
}

TEST(AboutResources, EveryResourceIsJapanese)
{
    ModuleCopy copy;
    std::vector<WORD> languages;
    EnumResourceTypesA(copy.module(), NoteType, reinterpret_cast<LONG_PTR>(&languages));
    ASSERT_FALSE(languages.empty());
    for (WORD language : languages)
        EXPECT_EQ(language, kJapanese);
}
