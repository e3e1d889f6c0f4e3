// SHA-256 against the published examples, and feeding in pieces.
#include <gtest/gtest.h>

#include "common/sha256.h"

namespace tvzx {
namespace {

std::string toHex(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : digest) text.append({kDigits[b >> 4], kDigits[b & 15]});
    return text;
}

// FIPS 180-4 examples (one block, two blocks, the two-block 896-bit message,
// a million letters), the empty message, and lengths around the block boundary.
TEST(Sha256, MatchesTheStandardsExamplesAndPadsAroundTheBlockBoundary) {
    EXPECT_EQ(toHex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(toHex(sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(toHex(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(toHex(sha256("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
                           "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu")),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(toHex(sha256(std::string(1'000'000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // 55 bytes leave just room for the 1 bit and the length; 63 pushes the
    // length into a second block (as the 56-byte example does); 64 fills a
    // block with message alone.
    EXPECT_EQ(toHex(sha256(std::string(55, 'a'))), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(toHex(sha256(std::string(63, 'a'))), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34");
    EXPECT_EQ(toHex(sha256(std::string(64, 'a'))), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
    EXPECT_EQ(toHex(sha256(std::string(65, 'a'))), "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0");
}

// Two pieces split at every position, across one, two and three blocks, into
// one object: each finish starts a fresh message.
TEST(Sha256, FeedingInPiecesGivesTheOneShotDigest) {
    std::string message;
    for (int i = 0; i < 200; ++i) message += static_cast<char>('!' + (i * 7) % 90);
    const Sha256Digest whole = sha256(message);
    Sha256 hash;
    for (std::size_t split = 0; split <= message.size(); ++split) {
        hash.update(std::string_view(message).substr(0, split));
        hash.update(std::string_view());
        hash.update(std::string_view(message).substr(split));
        EXPECT_EQ(hash.finish(), whole) << "split at " << split;
    }
}

}  // namespace
}  // namespace tvzx
