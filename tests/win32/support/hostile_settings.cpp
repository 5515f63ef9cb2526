#include "hostile_settings.h"

#include <windows.h>

#include <cstdint>

namespace {
// Small deterministic generator, so a failing file can be made again.
struct Random {
    uint32_t state;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    std::string Bytes(size_t count)
    {
        std::string out(count, '\0');
        for (char& c : out)
            c = static_cast<char>(Next());
        return out;
    }
};

constexpr size_t kMegabyte = 1024 * 1024;
const std::string kCRLF = "\r\n";

std::string Section(const char* name)
{
    return std::string("[") + name + "]" + kCRLF;
}

std::string Entry(const std::string& key, const std::string& value)
{
    return key + "=" + value + kCRLF;
}

// A well-formed file with count items, the base for mutations.
std::string ValidFile(int count)
{
    std::string times = Section("ItemTime");
    std::string comments = Section("ItemComment");
    for (int i = 0; i < count; ++i) {
        times += Entry(std::to_string(i), std::to_string(i + 1) + ":01:000");
        comments += Entry(std::to_string(i), "comment " + std::to_string(i) + "\\nline two\\tend");
    }
    return Section("Temp") + Entry("Meas", "3") + Entry("Beat", "2") + Entry("Tick", "10") + Section("MainWindow") +
           Entry("DlgInfo", "01000000640000006400000066") + times + comments;
}

// The profile functions' struct encoding: hex bytes then a checksum byte.
std::string StructText(const std::string& bytes, int checksumDelta)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    unsigned sum = 0;
    for (unsigned char b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
        sum += b;
    }
    unsigned char check = static_cast<unsigned char>(sum + checksumDelta);
    text += kHex[check >> 4];
    text += kHex[check & 15];
    return text;
}

std::string PlacementBytes(uint8_t flag, int32_t left, int32_t top)
{
    std::string bytes(12, '\0');
    bytes[0] = static_cast<char>(flag);
    for (int i = 0; i < 4; ++i) {
        bytes[4 + i] = static_cast<char>(static_cast<uint32_t>(left) >> (8 * i));
        bytes[8 + i] = static_cast<char>(static_cast<uint32_t>(top) >> (8 * i));
    }
    return bytes;
}

std::string WithPlacement(const std::string& value)
{
    return Section("MainWindow") + Entry("DlgInfo", value) + Section("ItemTime") + Entry("0", "1:01:000");
}

std::string WithTemp(const std::string& meas, const std::string& beat, const std::string& tick)
{
    return Section("Temp") + Entry("Meas", meas) + Entry("Beat", beat) + Entry("Tick", tick);
}

std::string WithItem(const std::string& time, const std::string& comment)
{
    return Section("ItemTime") + Entry("0", time) + Entry("1", "2:01:000") + Section("ItemComment") +
           Entry("0", comment) + Entry("1", "second");
}
}

std::vector<HostileFile> MakeHostileSettingsFiles()
{
    std::vector<HostileFile> files;
    auto add = [&files](std::string name, std::string bytes) { files.push_back({std::move(name), std::move(bytes)}); };
    Random random{0x7A5C1E55u};

    // Binary noise of many sizes, bare and around real section headers.
    for (size_t size : {1u, 2u, 7u, 64u, 255u, 256u, 1000u, 4096u, 10000u, 65536u})
        add("noise-" + std::to_string(size), random.Bytes(size));
    for (int i = 0; i < 10; ++i)
        add("noise-in-sections-" + std::to_string(i), Section("ItemTime") + random.Bytes(200 + 300 * i) +
                                                          Section("ItemComment") + random.Bytes(100 * i + 1) +
                                                          Section("Temp") + random.Bytes(50));
    for (int i = 0; i < 10; ++i) {
        std::string line = "0=" + random.Bytes(300);
        for (char& c : line)
            if (c == '\r' || c == '\n' || c == '\0')
                c = 'x';
        add("noise-values-" + std::to_string(i), Section("ItemTime") + line + kCRLF + Section("ItemComment") + line +
                                                      kCRLF + Section("Temp") + "Meas" + line.substr(1) + kCRLF);
    }

    // Lines of a megabyte.
    add("mb-time", Section("ItemTime") + Entry("0", std::string(kMegabyte, '7')));
    add("mb-comment-escapes", Section("ItemTime") + Entry("0", "1:01:000") + Section("ItemComment") +
                                  Entry("0", [] {
                                      std::string s;
                                      while (s.size() < kMegabyte)
                                          s += "\\t\\n";
                                      return s;
                                  }()));
    add("mb-no-equals", Section("ItemTime") + std::string(kMegabyte, 'k') + kCRLF);
    add("mb-section-name", "[" + std::string(kMegabyte, 'S') + "]" + kCRLF + Entry("0", "1"));
    add("mb-meas", WithTemp(std::string(kMegabyte, '9'), "1", "0"));

    // Many items.
    add("items-1000", ValidFile(1000));

    // Values of 10,000 characters.
    add("long-time", WithItem(std::string(10000, '1'), "c"));
    add("long-time-colons", WithItem(std::string(10000, ':'), "c"));
    add("long-comment", WithItem("1:01:000", std::string(10000, 'c')));
    add("long-comment-tabs", WithItem("1:01:000", [] {
            std::string s;
            while (s.size() < 10000)
                s += "\\t";
            return s;
        }()));
    add("long-comment-sjis", WithItem("1:01:000", [] {
            std::string s;
            while (s.size() < 10000)
                s += "\x83\x5C";  // a double-byte character whose trail byte is a backslash
            return s;
        }()));
    add("long-dlginfo", WithPlacement(std::string(10000, 'F')));
    add("long-temp", WithTemp(std::string(10000, '5'), std::string(10000, '6'), std::string(10000, '7')));

    // Double-byte characters cut short.
    add("lead-last", WithItem("1:01:000", "abc\x83"));
    add("lead-only", WithItem("1:01:000", "\x83"));
    add("lead-escape", WithItem("1:01:000", "\\\x83"));
    add("lead-at-259", WithItem("1:01:000", std::string(258, 'a') + "\x83\x40" + "tail"));
    add("lead-before-escape", WithItem("1:01:000", "\x83\\t\x83\\n"));
    add("lead-last-time", WithItem("1:01:00\x83", "c"));

    // Placement records.
    add("dlginfo-good", WithPlacement(StructText(PlacementBytes(1, 100, 80), 0)));
    add("dlginfo-bad-checksum", WithPlacement(StructText(PlacementBytes(1, 100, 80), 1)));
    add("dlginfo-short", WithPlacement(StructText(PlacementBytes(1, 100, 80).substr(0, 8), 0)));
    add("dlginfo-long", WithPlacement(StructText(PlacementBytes(1, 100, 80) + "xyzw", 0)));
    add("dlginfo-odd-digits", WithPlacement(StructText(PlacementBytes(1, 100, 80), 0).substr(1)));
    add("dlginfo-not-hex", WithPlacement("ZZZZZZZZZZZZZZZZZZZZZZZZZZ"));
    add("dlginfo-off-left", WithPlacement(StructText(PlacementBytes(1, -30000, 100), 0)));
    add("dlginfo-off-right", WithPlacement(StructText(PlacementBytes(1, 30000, 30000), 0)));
    add("dlginfo-extremes", WithPlacement(StructText(PlacementBytes(0xFF, INT32_MIN, INT32_MAX), 0)));
    add("dlginfo-empty", WithPlacement(""));

    // Hand-over values that are not what SetMeas and StoreTimeText write.
    const char* odd[] = {"abc", "99999999999", "-", "", " 12", "0x10", "-99999999999", "1e5", "\x82\x53", "+5",
                         "2147483648", "-2147483649", "4294967296"};
    for (const char* value : odd) {
        add(std::string("temp-meas-") + value, WithTemp(value, "1", "0"));
        add(std::string("temp-beat-tick-") + value, WithTemp("1", value, value));
    }

    // Odd file structure.
    add("empty", "");
    add("no-final-newline", Section("ItemTime") + "0=1:01:000");
    add("cr-only", "[ItemTime]\r0=1:01:000\r1=2:01:000\r");
    add("lf-only", "[ItemTime]\n0=1:01:000\n1=2:01:000\n");
    add("nul-inside", Section("ItemTime") + Entry("0", std::string("1:0\0" "1:000", 8)) + Entry("1", "2:01:000"));
    add("unclosed-section", "[ItemTime\r\n0=1:01:000\r\n");
    add("duplicate-keys", Section("ItemTime") + Entry("0", "1:01:000") + Entry("0", "9:09:000"));
    add("duplicate-sections", Section("ItemTime") + Entry("0", "1:01:000") + Section("ItemTime") + Entry("1", "x"));
    add("gap-in-keys", Section("ItemTime") + Entry("0", "1:01:000") + Entry("1", "2:01:000") + Entry("3", "4:01:000"));
    add("keys-out-of-order", Section("ItemTime") + Entry("2", "c") + Entry("1", "b") + Entry("0", "a"));
    add("anb-item", Section("ItemTime") + Entry("0", "1:01:000") + Entry("1", "Anb") + Entry("2", "3:01:000"));
    add("quoted-values", Section("ItemTime") + Entry("0", "\"1:01:000\"") + Section("ItemComment") + Entry("0", "\"q\""));
    add("blanks-around", Section("ItemTime") + Entry("0", "   1:01:000   ") + Section("ItemComment") + Entry("0", "\t c \t"));
    add("utf8-bom", "\xEF\xBB\xBF" + ValidFile(3));
    add("utf16-bom", [] {
        std::string narrow = ValidFile(3);
        std::string wide = "\xFF\xFE";
        for (char c : narrow) {
            wide += c;
            wide += '\0';
        }
        return wide;
    }());
    add("comment-lines", "; comment\r\n" + Section("ItemTime") + "; another\r\n" + Entry("0", "1:01:000"));
    add("huge-key-numbers", Section("ItemTime") + Entry("4294967296", "x") + Entry("0", "1:01:000"));

    // Random damage to a valid file.
    std::string valid = ValidFile(20);
    for (int i = 0; i < 20; ++i) {
        std::string damaged = valid;
        for (int flips = 0; flips < 1 + i * 3; ++flips)
            damaged[random.Next() % damaged.size()] = static_cast<char>(random.Next());
        add("damaged-" + std::to_string(i), damaged);
    }
    return files;
}
