// Reading Marshal bytes: the packed integers, the refusals, and the limits that keep a
// malformed or hostile file from crashing the program or exhausting memory.
#include <gtest/gtest.h>

#include <zlib.h>
#include <atomic>

#include "marshal/marshal_arena.h"
#include "marshal/marshal_file.h"
#include "marshal/marshal_reader.h"
#include "marshal/marshal_writer.h"
#include "marshal_test_util.h"
#include "support/test_support.h"

namespace {

using zorvane::MarshalError;
using zorvane::MarshalFile;
using zorvane::MarshalValue;
using ztest::hexBytes;

MarshalFile load(const std::string& bytes) {
    MarshalFile f;
    f.loadFromBuffer(bytes);
    return f;
}

const MarshalValue& top(const MarshalFile& f, size_t i = 0) {
    return f.root().children().at(i);
}

TEST(MarshalReader, PackedIntegers) {
    struct Case {
        const char* hex;
        int64_t value;
    } cases[] = {
        {"04 08 69 00", 0},
        {"04 08 69 06", 1},
        {"04 08 69 FA", -1},
        {"04 08 69 01 FF", 255},
        {"04 08 69 FF 00", -256},
        {"04 08 69 02 00 01", 256},
        {"04 08 69 7F", 122},
        {"04 08 69 80", -123},
        {"04 08 69 04 FF FF FF 3F", 0x3FFFFFFF},
        {"04 08 69 FD 00 00 00", -16777216},
    };
    for (const Case& c : cases) {
        MarshalFile f = load(hexBytes(c.hex));
        ASSERT_TRUE(f.loaded()) << c.hex;
        EXPECT_EQ(top(f).kind(), MarshalValue::Fixnum) << c.hex;
        EXPECT_EQ(top(f).integer(), c.value) << c.hex;
    }
    MarshalFile nil = load(hexBytes("04 08 30"));
    ASSERT_TRUE(nil.loaded());
    EXPECT_TRUE(top(nil).isNil());
}

TEST(MarshalReader, RefusesWhatIsNotMarshal48) {
    struct Case {
        const char* hex;
        MarshalError::Code code;
    } cases[] = {
        {"04 07 30", MarshalError::Code::BadVersion},
        {"04 08 65 3A 06 41 30", MarshalError::Code::UnsupportedType},         // extended object
        {"04 08 43 3A 06 58 6F 3A 06 59 00", MarshalError::Code::BadWrapped},  // C around o
        {"04 08 5B FA", MarshalError::Code::BadLength},                        // negative count
        {"04 08 6F 69 06 00", MarshalError::Code::BadSymbol},  // class name not a symbol
    };
    for (const Case& c : cases) {
        MarshalFile f = load(hexBytes(c.hex));
        EXPECT_FALSE(f.loaded()) << c.hex;
        EXPECT_EQ(f.error().code, c.code) << c.hex << ": " << f.error().message();
    }
    MarshalFile empty = load("");
    EXPECT_FALSE(empty.loaded());
    MarshalFile unsupported = load(hexBytes("04 08 5B 07 69 06 64"));
    EXPECT_EQ(unsupported.error().message(), "unsupported type byte 0x64 at offset 6");
}

TEST(MarshalReader, AStreamEndingInsideAValueFailsWholly) {
    const char* cuts[] = {
        "04 08 5B 08 69 06 69 07",                 // array of 3 with 2 elements
        "04 08 22 0A 61 62",                       // string of 5 bytes with 2
        "04 08 69 02 00",                          // fixnum missing a byte
        "04 08 6F 3A 06 58 07 3A 06 40 61 69 06",  // object of 2 ivars with 1
        "04 08 6C 2B 07 00 00 00",                 // bignum of 2 words with 1.5
        "04",                                      // version cut
        "04 08 69 06 04 08",                       // second dump with no value
    };
    for (const char* hex : cuts) {
        MarshalFile f = load(hexBytes(hex));
        EXPECT_FALSE(f.loaded()) << hex;
        EXPECT_TRUE(f.root().children().empty()) << "no half tree is left behind: " << hex;
    }
}

TEST(MarshalReader, HugeCountsAreRefusedBeforeAllocating) {
    // 2^30 elements claimed by a 20-byte file.
    MarshalFile f = load(hexBytes("04 08 5B 04 00 00 00 40 69 06 69 06 69 06 69 06 69 06 69 06"));
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.error().code, MarshalError::Code::Truncated);
    MarshalFile s = load(hexBytes("04 08 22 04 FF FF FF 7F 61"));
    EXPECT_FALSE(s.loaded());
}

TEST(MarshalReader, NestingDeeperThanTheLimitFails) {
    std::string deep = hexBytes("04 08");
    for (int i = 0; i < 100000; ++i) deep += hexBytes("5B 06");
    deep += hexBytes("30");
    MarshalFile f = load(deep);
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.error().code, MarshalError::Code::TooDeep);

    std::string ok = hexBytes("04 08");
    for (int i = 0; i < 1000; ++i) ok += hexBytes("5B 06");
    ok += hexBytes("30");
    EXPECT_TRUE(load(ok).loaded());
}

std::string stringRecord(const std::string& payload) {
    std::string out = "\"";
    zorvane::MarshalWriter::writeLong(out, static_cast<int32_t>(payload.size()));
    return out + payload;
}

std::string deflate(const std::string& text) {
    uLongf n = compressBound(text.size());
    std::string out(n, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(text.data()),
              text.size(), Z_DEFAULT_COMPRESSION);
    out.resize(n);
    return out;
}

TEST(MarshalReader, CompressedStrings) {
    std::string text = "class Foo\n  # 日本語\nend\n";
    MarshalFile f = load(hexBytes("04 08") + stringRecord(deflate(text)));
    ASSERT_TRUE(f.loaded());
    EXPECT_EQ(top(f).text(), text);

    MarshalFile bad = load(hexBytes("04 08") + stringRecord(hexBytes("78 9C 01 02 03 04 05")));
    EXPECT_FALSE(bad.loaded());
    EXPECT_EQ(bad.error().code, MarshalError::Code::Zlib);

    // A small bomb against a lowered cap: refused, not inflated.
    std::string bomb = deflate(std::string(1 << 20, 'a'));
    MarshalFile capped;
    zorvane::InflateLimits limits;
    limits.perString = 1 << 16;
    capped.setInflateLimits(limits);
    EXPECT_FALSE(capped.loadFromBuffer(hexBytes("04 08") + stringRecord(bomb)));
    EXPECT_EQ(capped.error().code, MarshalError::Code::TooLarge);
}

// Each string below its own cap, together beyond what a file or a project may inflate:
// the file fails with a diagnostic instead of holding all of them.
TEST(MarshalReader, CompressedStringsDrawFromBudgetsPerFileAndPerProject) {
    ztest::TempDir dir;
    std::string script = deflate(std::string(600 << 10, 'a'));
    auto scriptsFile = [&](const char* name, int count) {
        std::string bytes = hexBytes("04 08 5B");
        zorvane::MarshalWriter::writeLong(bytes, count);
        for (int i = 0; i < count; ++i) bytes += stringRecord(script);
        ztest::writeFile(dir.file(name), bytes);
        return dir.file(name);
    };
    std::atomic<size_t> projectLeft{size_t{1} << 20};
    zorvane::InflateLimits file{1 << 20, 1 << 20, nullptr}, project{1 << 20, 4 << 20, &projectLeft};
    struct Case {
        std::string path;
        zorvane::InflateLimits limits;
        MarshalError::Code code;
        const char* text;
    } cases[] = {
        {scriptsFile("one.rxdata", 1), file, MarshalError::Code::None, ""},
        {scriptsFile("two.rxdata", 2), file, MarshalError::Code::FileInflateBudget,
         "compressed strings of this file inflate to more than 1 MiB"},
        {scriptsFile("first.rxdata", 1), project, MarshalError::Code::None, ""},
        {scriptsFile("second.rxdata", 1), project, MarshalError::Code::ProjectInflateBudget,
         "compressed strings of this project inflate to more than"},
    };
    for (const Case& c : cases) {
        MarshalFile f;
        f.setInflateLimits(c.limits);
        EXPECT_EQ(f.load(c.path), c.code == MarshalError::Code::None) << c.path;
        EXPECT_EQ(f.error().code, c.code) << c.path;
        EXPECT_NE(f.error().message().find(c.text), std::string::npos) << f.error().message();
    }
}

TEST(MarshalReader, TextEndsAtItsFirstZeroByteButTheBytesAreKept) {
    MarshalFile f = load(hexBytes("04 08 22 09 61 62 00 63"));
    ASSERT_TRUE(f.loaded());
    EXPECT_EQ(top(f).text(), "ab");
    EXPECT_EQ(top(f).rawText(), std::string("ab\0c", 4));
}

TEST(MarshalReader, SymbolsAndBackReferences) {
    // [o:X{@a=1}, o;0{;1=2}] : class and ivar names given back by reference
    MarshalFile f =
        load(hexBytes("04 08 5B 07 6F 3A 06 58 06 3A 07 40 61 69 06 6F 3B 00 06 3B 06 69 07"));
    ASSERT_TRUE(f.loaded()) << f.error().message();
    EXPECT_EQ(f.find("Array[1]")->className(), "X");
    EXPECT_EQ(f.find("Array[1].@a")->integer(), 2);
    // A back-reference into the previous dump's table is not an error: it reads as "".
    MarshalFile two = load(hexBytes("04 08 6F 3A 06 58 00  04 08 6F 3B 00 00"));
    ASSERT_TRUE(two.loaded());
    EXPECT_EQ(two.root().children().size(), 2u);
    EXPECT_EQ(top(two, 1).className(), "");
}

TEST(MarshalReader, BignumKeepsItsLowSixtyFourBits) {
    // +, 5 words: 0x0001_0000_0000_0000_0002 -> low 64 bits = 2
    MarshalFile f = load(hexBytes("04 08 6C 2B 0A 02 00 00 00 00 00 00 00 01 00"));
    ASSERT_TRUE(f.loaded());
    EXPECT_EQ(top(f).integer(), 2);
    MarshalFile neg = load(hexBytes("04 08 6C 2D 07 00 00 00 40"));
    ASSERT_TRUE(neg.loaded());
    EXPECT_EQ(top(neg).integer(), -(int64_t{1} << 30));
}

TEST(MarshalReader, EmptyStreamAtStartGivesEmptyRoot) {
    zorvane::MarshalReader reader;
    zorvane::MarshalArena arena;
    MarshalValue* root = nullptr;
    zorvane::ValuePathIndex index;
    uint8_t byte = 0;
    ASSERT_TRUE(reader.readAll(arena, &byte, 0, root, index));
    EXPECT_EQ(root->kind(), MarshalValue::Array);
    EXPECT_TRUE(root->children().empty());
}

}  // namespace
