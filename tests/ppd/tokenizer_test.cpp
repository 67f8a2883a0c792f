// The byte source and the tokenizer: comments, line ends, quoted and plain
// tokens, blanks kept on request, the length limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ppd/ppd_tokenizer.h"
#include "tests/ppd/ppd_test_util.h"

using ppd_test::show;

namespace {

// Every token of the input, read with the given allowBlanks flags in turn
// (false once they run out).
std::vector<std::string> tokensOf(const std::string &input, std::vector<bool> allowBlanks = {}) {
    PpdMemoryInput memory{reinterpret_cast<const unsigned char *>(input.data()), input.size(), 0};
    ByteSource source(memoryReadByte, &memory);
    std::vector<PpdChar> buffer(kPpdTokenBufferUnits);
    std::vector<std::string> tokens;
    for (size_t call = 0;; ++call) {
        int32_t length = -1;
        bool blanks = call < allowBlanks.size() && allowBlanks[call];
        if (!PpdTokenizer::nextToken(&source, buffer.data(), &length, blanks)) {
            EXPECT_EQ(length, 0);
            EXPECT_EQ(buffer[0], 0);
            return tokens;
        }
        EXPECT_EQ(buffer[length], 0) << "token not terminated";
        tokens.push_back(show(buffer.data(), length));
    }
}

using Tokens = std::vector<std::string>;

struct TokenCase {
    const char *name;
    std::string input;
    std::vector<bool> allowBlanks;
    Tokens expected;
};

TEST(PpdTokenizer, CutsInputIntoTokens) {
    const TokenCase cases[] = {
        {"comments and blanks only", "*% one\r\n% two\n\n \t\f\r*%three", {}, {}},
        {"comment ends at CR, LF and CR LF", "*%a\r*A\n*%b\r\n*B\n%c\rC", {}, {"*A", "*B", "C"}},
        {"percent where a token would begin", "a %rest b\nc", {}, {"a", "c"}},
        {"header line", "*Manufacturer: \"Acme Inc\"\n", {}, {"*Manufacturer", "Acme Inc"}},
        {"keyword/translation keeps blanks on request",
         "*OpenUI *PageSize/Page Size: PickOne\n",
         {false, true, false},
         {"*OpenUI", "*PageSize/Page Size", "PickOne"}},
        {"allowBlanks keeps tab and space only", "*A B\tC\rD:E\"F\"", {true, true, true},
         {"*A B<09>C", "D", "E", "F"}},
        {"quoted value spans lines, percent is text", "\"a\r\nb % c\" d", {}, {"a<0D><0A>b % c", "d"}},
        {"percent inside a plain token", "*Foo%bar", {}, {"*Foo%bar"}},
        {"asterisk as the last byte", "x *", {}, {"x", "*"}},
        {"zero byte is a blank, kept inside quotes", std::string("a\0b \"c\0d\"", 9), {}, {"a", "b", "c<00>d"}},
        {"vertical tab is ordinary", "a\x0B" "b", {}, {"a<0B>b"}},
        {"high bytes pass unchanged", "\x80\xE9\xFF", {}, {"<80><E9><FF>"}},
        {"lone colon", "a : b", {}, {"a", ":", "b"}},
        {"colon ends a keyword and is dropped", "*PageSize:Letter", {}, {"*PageSize", "Letter"}},
        {"quote inside a plain token ends it", "ab\"cd\"", {}, {"ab", "cd"}},
        {"empty quotes are a token", "\"\" x", {}, {"", "x"}},
        {"unterminated quote runs to the end", "\"abc\ndef", {}, {"abc<0A>def"}},
        {"end of input inside a plain token", "*End", {}, {"*End"}},
    };
    for (const TokenCase &c : cases) {
        EXPECT_EQ(tokensOf(c.input, c.allowBlanks), c.expected) << c.name;
    }
}

TEST(PpdTokenizer, CutsTokensAtTheLimit) {
    const size_t limit = static_cast<size_t>(kPpdTokenMaxUnits);
    // A quoted value five bytes over the limit: the limit is stored, the byte
    // read at the limit is lost, the rest comes back as a further token.
    std::string quoted = "\"" + std::string(limit + 5, 'x') + "\"";
    Tokens tokens = tokensOf(quoted);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].size(), limit);
    EXPECT_EQ(tokens[1], "xxxx");

    // A plain token of exactly the limit fits whole.
    Tokens exact = tokensOf(std::string(limit, 'y') + " z");
    ASSERT_EQ(exact.size(), 2u);
    EXPECT_EQ(exact[0].size(), limit);
    EXPECT_EQ(exact[1], "z");
}

TEST(PpdTokenizer, MissingArgumentsReadNothing) {
    std::vector<PpdChar> buffer(kPpdTokenBufferUnits, 'q');
    int32_t length = 5;
    EXPECT_FALSE(PpdTokenizer::nextToken(nullptr, buffer.data(), &length, false));
    EXPECT_EQ(length, 0);
    EXPECT_EQ(buffer[0], 0);
    ByteSource source(nullptr, nullptr);  // no reader: end of input
    EXPECT_FALSE(PpdTokenizer::nextToken(&source, buffer.data(), &length, false));
    EXPECT_FALSE(PpdTokenizer::nextToken(&source, nullptr, &length, false));
    EXPECT_FALSE(PpdTokenizer::nextToken(&source, buffer.data(), nullptr, false));
}

// A reader that plays back a script of results, then reports end of input.
struct ScriptedReader {
    std::vector<int32_t> results;
    size_t calls = 0;
    static int32_t read(void *context) {
        ScriptedReader *r = static_cast<ScriptedReader *>(context);
        return r->calls < r->results.size() ? r->results[r->calls++] : (r->calls++, -1);
    }
};

TEST(ByteSource, PeekHoldsOneByteAndEndOfInputIsAskedAgain) {
    ScriptedReader reader{{'A', -1, 'B', 300, -7, 'C'}};
    ByteSource source(ScriptedReader::read, &reader);
    EXPECT_EQ(source.pushback, -1);
    EXPECT_EQ(source.peek(), 'A');
    EXPECT_EQ(source.peek(), 'A');
    EXPECT_EQ(source.get(), 'A');
    EXPECT_EQ(reader.calls, 1u);
    EXPECT_EQ(source.peek(), -1);  // end of input is not held...
    EXPECT_EQ(source.pushback, -1);
    EXPECT_EQ(source.get(), 'B');  // ...so the reader is asked again
    EXPECT_EQ(source.get(), -1);   // out-of-range results are end of input
    EXPECT_EQ(source.get(), -1);
    EXPECT_EQ(source.get(), 'C');
    EXPECT_EQ(reader.calls, 6u);
}

TEST(ByteSource, FileReaderReadsBytesAndEnd) {
    FILE *file = tmpfile();
    ASSERT_NE(file, nullptr);
    fputs("a\xFF", file);
    rewind(file);
    EXPECT_EQ(fileReadByte(file), 'a');
    EXPECT_EQ(fileReadByte(file), 0xFF);
    EXPECT_EQ(fileReadByte(file), -1);
    fclose(file);
    EXPECT_EQ(fileReadByte(nullptr), -1);
}

}  // namespace
