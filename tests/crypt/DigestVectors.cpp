#include "tests/crypt/DigestVectors.h"

namespace {

// The first n bytes of a 64-character pattern repeated, for messages that end on either side
// of the 55/56 and 63/64 byte limits of the padding.
std::string Pattern(std::size_t n) {
    static const std::string unit = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ+/";
    std::string text;
    while (text.size() < n)
        text += unit;
    text.resize(n);
    return text;
}

} // namespace

const std::vector<TDigestVector>& DigestVectors() {
    // The SHA values of "abc", the 448-bit and 896-bit messages and one million "a" are the
    // FIPS 180-4 examples, the MD5 values of the first seven messages the suite of RFC 1321
    // appendix A.5. The other values were computed with Python's hashlib, an implementation
    // independent of this one; the OpenSSL cross-check covers many more lengths at run time.
    static const std::vector<TDigestVector> vectors = {
        {"empty", "", "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"a", "a", "0cc175b9c0f1b6a831c399e269772661", "86f7e437faa5a7fce15d1ddcb9eaeaea377667b8",
         "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb"},
        {"abc", "abc", "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"message_digest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0",
         "c12252ceda8be8994d5fa0290a47231c1d16aae3",
         "f7846f55cf23e14eebeab5b4e1550cad5b509e3348fbc4efa3a1413d393cb650"},
        {"alphabet", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b",
         "32d10c7b8cf96570ca04ce37f2a19d84240d3a89",
         "71c480df93d6ae2f1efad1447c66c9525e316218cf51fc8d9ed832f2daf18b73"},
        {"alphanumeric", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f", "761c457bf73b14d27e9e9265c46f4b4dda11f940",
         "db4bfcbd4da0cd85a60c3c37d3fbd8805c77f15fc6b1fdfe614ee0a7c8fdb4c0"},
        {"digits80", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a", "50abf5706a150990a08b2c5ea40fa0e585554732",
         "f371bc4a311f2b009eef952dd83ca80e2b60026c8e935592d0f9c308453c813e"},
        {"fips448", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "8215ef0796a20bcaaae116d3876c664a",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"fips896",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqr"
         "stu",
         "03dd8807a93175fb062dfb55dc7d359c", "a49b2446a02c645bf419f995b67091253a04a259",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"pattern55", Pattern(55), "1d5a07fc2d0628ae633aaa903c9744f3", "b720993221bd1cc79959e921e9857b851d2982e0",
         "dd00794e0454db49259b6c426331d5e0cdf642fc0d7353fb85ee89519aafd995"},
        {"pattern56", Pattern(56), "cf990b93975191879797470b9a8a8ef8", "9d3f49d84e67b34664458fdca6e74b9386c654ff",
         "ecbe4cc6c393d5e47e875e1a1ce7489d4e6d420bc3ec3312f9df475278d77f69"},
        {"pattern63", Pattern(63), "3af68ccb8ac0031c67c55562b45cf2dc", "e3363bb93cbb27ec5749e81004c6dd0e9894da64",
         "d091fa07d080d303e56f4735f185e47ce745fab012ed830f4c0403565648dd24"},
        {"pattern64", Pattern(64), "3dd3e522940f6c3310174b26d2628945", "e12b0edf84f60d39b67c67a791c738a111175382",
         "16d2d5ac041c06d463852778919603252dacf329ac5e9ffdc1ead34a8dd635de"},
        {"pattern65", Pattern(65), "187eabd19fbe5d66d5e2170f877901f4", "0fb5780d951a5650c6f3fbd5fb5b1bb92a74debc",
         "78f15012aefb4beba3cdad3b3c1cac633a53a8b36da83fa6dc354b7d4b55de38"},
        {"pattern119", Pattern(119), "2432ebbd2a5c575b8e0f3018e50ff4e4", "40b9b4a472b489cf188c6196f3601a45c721d88a",
         "f4839cb1908bb69d14caa0710b15ef350d371593e836f6db7fe72614a0a13d4e"},
        {"pattern120", Pattern(120), "e3f61ae4280b6b973070050193632e82", "888a6844a594041402c4da451a2b7f2088797766",
         "c6299e429f20e9e1a5abe2ec2270ee6604c3651bc5aa4789ee8046a112d14919"},
        {"pattern128", Pattern(128), "a5992c89895f860cd8ef4ac0c64c1ea7", "239822014d9e8b22bd0bab78b9871793f70a85fe",
         "1c7f8e983603d401d5d9ecf39a2071571c7b1cfd5a070ca6ccce399abc388409"},
        {"million_a", std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21",
         "34aa973cd4c4daa4f61eeb2bdbad27316534016f",
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    return vectors;
}
