// The time dialog's template 101 as the built module carries it: every
// field of the extended template and of each control, read from the
// resource that a loaded copy of the module exposes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "module_copy.h"

namespace {
constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr WORD kTimeTemplate = 101;
constexpr uint32_t kNoId = 0xFFFFFFFF;

// A name-or-ordinal field: a lone 0 (none), 0xFFFF and an ordinal, or a string.
struct NameOrOrdinal {
    bool present = false;
    WORD ordinal = 0;
    std::u16string name;
};

struct ControlTemplate {
    uint32_t helpId;
    uint32_t exStyle;
    uint32_t style;
    int16_t x, y, cx, cy;
    uint32_t id;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    WORD extraBytes;
};

struct DialogTemplate {
    WORD version;
    WORD signature;
    uint32_t helpId;
    uint32_t exStyle;
    uint32_t style;
    WORD itemCount;
    int16_t x, y, cx, cy;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string caption;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    std::u16string face;
    std::vector<ControlTemplate> controls;
};

// Reads a DLGTEMPLATEEX and its DLGITEMTEMPLATEEX records, keeping to size.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }

    template <typename T>
    T Get()
    {
        T value{};
        if (at_ + sizeof value > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    std::u16string String()
    {
        std::u16string text;
        for (char16_t c = Get<char16_t>(); ok_ && c != 0; c = Get<char16_t>())
            text += c;
        return text;
    }

    NameOrOrdinal Name()
    {
        NameOrOrdinal field;
        char16_t first = Get<char16_t>();
        if (first == 0)
            return field;
        field.present = true;
        if (first == 0xFFFF) {
            field.ordinal = Get<WORD>();
            return field;
        }
        field.name = first;
        field.name += String();
        return field;
    }

    void AlignToDword() { at_ = (at_ + 3) & ~size_t{3}; }
    void Skip(size_t bytes) { at_ += bytes; }

private:
    const BYTE* data_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

DialogTemplate ParseTemplate(const BYTE* data, size_t size)
{
    TemplateReader in(data, size);
    DialogTemplate t{};
    t.version = in.Get<WORD>();
    t.signature = in.Get<WORD>();
    t.helpId = in.Get<uint32_t>();
    t.exStyle = in.Get<uint32_t>();
    t.style = in.Get<uint32_t>();
    t.itemCount = in.Get<WORD>();
    t.x = in.Get<int16_t>();
    t.y = in.Get<int16_t>();
    t.cx = in.Get<int16_t>();
    t.cy = in.Get<int16_t>();
    t.menu = in.Name();
    t.windowClass = in.Name();
    t.caption = in.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = in.Get<WORD>();
        t.weight = in.Get<WORD>();
        t.italic = in.Get<BYTE>();
        t.charset = in.Get<BYTE>();
        t.face = in.String();
    }
    for (WORD i = 0; i < t.itemCount && in.ok(); ++i) {
        in.AlignToDword();
        ControlTemplate c{};
        c.helpId = in.Get<uint32_t>();
        c.exStyle = in.Get<uint32_t>();
        c.style = in.Get<uint32_t>();
        c.x = in.Get<int16_t>();
        c.y = in.Get<int16_t>();
        c.cx = in.Get<int16_t>();
        c.cy = in.Get<int16_t>();
        c.id = in.Get<uint32_t>();
        c.windowClass = in.Name();
        c.text = in.Name();
        c.extraBytes = in.Get<WORD>();
        in.Skip(c.extraBytes);
        t.controls.push_back(c);
    }
    EXPECT_TRUE(in.ok()) << "the template ends inside a field";
    return t;
}

// The predefined class that an ordinal stands for.
std::u16string ClassName(const NameOrOrdinal& windowClass)
{
    if (!windowClass.ordinal)
        return windowClass.name;
    switch (windowClass.ordinal) {
    case 0x80: return u"BUTTON";
    case 0x81: return u"EDIT";
    case 0x82: return u"STATIC";
    case 0x85: return u"COMBOBOX";
    }
    return u"?";
}

std::u16string Upper(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

std::string Printable(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[12];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

struct ExpectedControl {
    uint32_t id;
    const char16_t* windowClass;
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y, cx, cy;
    const char16_t* text;
};

const ExpectedControl kExpectedControls[] = {
    {kNoId, u"STATIC", 0x50020000, 0, 7, 10, 28, 8, u"タイム(&T):"},
    {102, u"COMBOBOX", 0x50210252, WS_EX_NOPARENTNOTIFY, 41, 8, 80, 93, u""},
    {kNoId, u"STATIC", 0x50020000, 0, 7, 27, 32, 8, u"コメント(&C):"},
    {1004, u"EDIT", 0x50A10044, 0, 41, 26, 80, 74, u""},
    {IDOK, u"BUTTON", 0x50030001, 0, 131, 8, 52, 14, u"OK"},
    {IDCANCEL, u"BUTTON", 0x50010000, 0, 131, 26, 52, 14, u"キャンセル"},
    {104, u"BUTTON", 0x50010000, 0, 131, 50, 52, 14, u"追加(&A)"},
    {103, u"BUTTON", 0x50010000, 0, 131, 68, 52, 14, u"削除(&E)"},
    {105, u"BUTTON", 0x50010000, 0, 131, 86, 52, 14, u"全て削除(&D)"},
};

BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

class TimeDialogTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRSRC found = FindResourceExA(copy_.module(), MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                      MAKEINTRESOURCEA(kTimeTemplate), kJapanese);
        ASSERT_NE(found, nullptr) << "no Japanese RT_DIALOG 101 in the module";
        HGLOBAL loaded = LoadResource(copy_.module(), found);
        ASSERT_NE(loaded, nullptr);
        size_ = SizeofResource(copy_.module(), found);
        data_ = static_cast<const BYTE*>(LockResource(loaded));
        ASSERT_NE(data_, nullptr);
        parsed_ = ParseTemplate(data_, size_);
    }

    ModuleCopy copy_;
    const BYTE* data_ = nullptr;
    size_t size_ = 0;
    DialogTemplate parsed_{};
};
}

TEST_F(TimeDialogTemplate, DialogHeaderIsTheExtendedTemplateAsDesigned)
{
    EXPECT_EQ(parsed_.version, 1);
    EXPECT_EQ(parsed_.signature, 0xFFFF) << "not an extended template";
    EXPECT_EQ(parsed_.helpId, 0u);
    EXPECT_EQ(parsed_.style, 0x80C809C0u) << std::hex << parsed_.style;
    EXPECT_EQ(parsed_.style & WS_VISIBLE, 0u) << "the modal run shows the dialog after the start steps";
    EXPECT_EQ(parsed_.exStyle, 0x00010004u) << std::hex << parsed_.exStyle;
    EXPECT_EQ(parsed_.itemCount, 9);
    EXPECT_EQ(parsed_.x, 0);
    EXPECT_EQ(parsed_.y, 0);
    EXPECT_EQ(parsed_.cx, 190);
    EXPECT_EQ(parsed_.cy, 111);
    EXPECT_FALSE(parsed_.menu.present) << "no menu";
    EXPECT_FALSE(parsed_.windowClass.present) << "the platform's dialog class";
    EXPECT_EQ(parsed_.caption, u"ジャンプ") << Printable(parsed_.caption);
}

TEST_F(TimeDialogTemplate, FontIsNinePointMsPGothicWithDefaultCharset)
{
    EXPECT_EQ(parsed_.pointSize, 9);
    EXPECT_EQ(parsed_.weight, 0);
    EXPECT_EQ(parsed_.italic, 0);
    EXPECT_EQ(parsed_.charset, DEFAULT_CHARSET);
    EXPECT_EQ(parsed_.face, u"ＭＳ Ｐゴシック") << Printable(parsed_.face);
}

TEST_F(TimeDialogTemplate, ControlsInTabOrderWithTheirWholeStyles)
{
    ASSERT_EQ(parsed_.controls.size(), std::size(kExpectedControls));
    for (size_t i = 0; i < parsed_.controls.size(); ++i) {
        const ControlTemplate& c = parsed_.controls[i];
        const ExpectedControl& e = kExpectedControls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " " + Printable(e.text));
        EXPECT_EQ(c.helpId, 0u);
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(Upper(ClassName(c.windowClass)), e.windowClass) << Printable(ClassName(c.windowClass));
        EXPECT_EQ(c.style, e.style) << std::hex << c.style;
        EXPECT_EQ(c.exStyle, e.exStyle) << std::hex << c.exStyle;
        EXPECT_EQ(c.x, e.x);
        EXPECT_EQ(c.y, e.y);
        EXPECT_EQ(c.cx, e.cx);
        EXPECT_EQ(c.cy, e.cy);
        EXPECT_EQ(c.text.ordinal, 0) << "text is a string, not a resource ordinal";
        EXPECT_EQ(c.text.name, e.text) << Printable(c.text.name);
        EXPECT_EQ(c.extraBytes, 0);
    }
}

TEST_F(TimeDialogTemplate, OnlyTheJapaneseTemplateExists)
{
    // A template in another language could be picked on a non-Japanese system.
    std::vector<WORD> languages;
    EnumResourceLanguagesA(copy_.module(), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(kTimeTemplate), NoteLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{kJapanese});
}
