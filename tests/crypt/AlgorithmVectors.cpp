#include "tests/crypt/AlgorithmVectors.h"

#include "tests/crypt/DigestVectors.h"

namespace {

const std::string Fips896 =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
    "mnopqrstnopqrstu";

std::vector<TAlgorithmVector> Build() {
    std::vector<TAlgorithmVector> vectors = {
        {THashAlgorithm::SHA224, "empty", "", "d14a028c2a3a2bc9476102bb288234c415a2b01f828ea62ac5b3e42f"},
        {THashAlgorithm::SHA224, "abc", "abc", "23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7"},
        {THashAlgorithm::SHA224, "fips896", Fips896, "c97ca9a559850ce97a04a96def6d99a9e0e0e2ab14e6b8df265fc0b3"},
        {THashAlgorithm::SHA384, "empty", "",
         "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f14898b95b"},
        {THashAlgorithm::SHA384, "abc", "abc",
         "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
        {THashAlgorithm::SHA384, "fips896", Fips896,
         "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039"},
        {THashAlgorithm::SHA512, "empty", "",
         "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417"
         "a81a538327af927da3e"},
        {THashAlgorithm::SHA512, "abc", "abc",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce"
         "80e2a9ac94fa54ca49f"},
        {THashAlgorithm::SHA512, "fips896", Fips896,
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd2"
         "6545e96e55b874be909"},
        {THashAlgorithm::SHA512_256, "empty", "", "c672b8d1ef56ed28ab87c3622c5114069bdd3ad7b8f9737498d0c01ecef0967a"},
        {THashAlgorithm::SHA512_256, "abc", "abc", "53048e2681941ef99b2e29b76b4c7dabe4c2d0c634fc6d46e0e2f13107e7af23"},
        {THashAlgorithm::SHA512_256, "fips896", Fips896,
         "3928e184fb8690f840da3988121d31be65cb9d3ef83ee6146feac861e19b563a"},
        {THashAlgorithm::SHA3_224, "empty", "", "6b4e03423667dbb73b6e15454f0eb1abd4597f9a1b078e3f5b5a6bc7"},
        {THashAlgorithm::SHA3_224, "abc", "abc", "e642824c3f8cf24ad09234ee7d3c766fc9a3a5168d0c94ad73b46fdf"},
        {THashAlgorithm::SHA3_224, "fips896", Fips896, "543e6868e1666c1a643630df77367ae5a62a85070a51c14cbf665cbc"},
        {THashAlgorithm::SHA3_256, "empty", "", "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a"},
        {THashAlgorithm::SHA3_256, "abc", "abc", "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"},
        {THashAlgorithm::SHA3_256, "fips896", Fips896,
         "916f6061fe879741ca6469b43971dfdb28b1a32dc36cb3254e812be27aad1d18"},
        {THashAlgorithm::SHA3_384, "empty", "",
         "0c63a75b845e4f7d01107d852e4c2485c51a50aaaa94fc61995e71bbee983a2ac3713831264adb47fb6bd1e058d5f004"},
        {THashAlgorithm::SHA3_384, "abc", "abc",
         "ec01498288516fc926459f58e2c6ad8df9b473cb0fc08c2596da7cf0e49be4b298d88cea927ac7f539f1edf228376d25"},
        {THashAlgorithm::SHA3_384, "fips896", Fips896,
         "79407d3b5916b59c3e30b09822974791c313fb9ecc849e406f23592d04f625dc8c709b98b43b3852b337216179aa7fc7"},
        {THashAlgorithm::SHA3_512, "empty", "",
         "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1475c80a615b2123af1f5f94c11e3e9402c3ac558f500199d95b6d"
         "3e301758586281dcd26"},
        {THashAlgorithm::SHA3_512, "abc", "abc",
         "b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d0240d2712e10e116e9192af3c91a7ec57647e3934057340b4cf408d"
         "5a56592f8274eec53f0"},
        {THashAlgorithm::SHA3_512, "fips896", Fips896,
         "afebb2ef542e6579c50cad06d2e578f9f8dd6881d7dc824d26360feebf18a4fa73e3261122948efcfd492e74e82e2189ed0fb440d187f"
         "382270cb455f21dd185"},
        {THashAlgorithm::BLAKE2b512, "empty", "",
         "786a02f742015903c6c6fd852552d272912f4740e15847618a86e217f71f5419d25e1031afee585313896444934eb04b903a685b1448b"
         "755d56f701afe9be2ce"},
        {THashAlgorithm::BLAKE2b512, "abc", "abc",
         "ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d17d87c5392aab792dc252d5de4533cc9518d38aa8dbf19"
         "25ab92386edd4009923"},
        {THashAlgorithm::BLAKE2b512, "fips896", Fips896,
         "ce741ac5930fe346811175c5227bb7bfcd47f42612fae46c0809514f9e0e3a11ee1773287147cdeaeedff50709aa716341fe65240f4ad"
         "6777d6bfaf9726e5e52"},
        {THashAlgorithm::BLAKE2s256, "empty", "", "69217a3079908094e11121d042354a7c1f55b6482ca1a51e1b250dfd1ed0eef9"},
        {THashAlgorithm::BLAKE2s256, "abc", "abc", "508c5e8c327c14e2e1a72ba34eeb452f37458b209ed63a294d999b4c86675982"},
        {THashAlgorithm::BLAKE2s256, "fips896", Fips896,
         "358dd2ed0780d4054e76cb6f3a5bce2841e8e2f547431d4d09db21b66d941fc7"},
        {THashAlgorithm::CRC32, "empty", "", "00000000"},
        {THashAlgorithm::CRC32, "abc", "abc", "352441c2"},
        {THashAlgorithm::CRC32, "fips896", Fips896, "191f3349"},
        {THashAlgorithm::CRC32, "check", "123456789", "cbf43926"},
        {THashAlgorithm::XXH3_64, "empty", "", "2d06800538d394c2"},
        {THashAlgorithm::XXH3_64, "abc", "abc", "78af5f94892f3950"},
        {THashAlgorithm::XXH3_64, "fips896", Fips896, "458619cd5260aa9a"},
        {THashAlgorithm::XXH3_64, "check", "123456789", "72dcb18b67a17dff"},
        {THashAlgorithm::XXH3_128, "empty", "", "99aa06d3014798d86001c324468d497f"},
        {THashAlgorithm::XXH3_128, "abc", "abc", "06b05ab6733a618578af5f94892f3950"},
        {THashAlgorithm::XXH3_128, "fips896", Fips896, "97d535cb0c62bf199c12d0b7e499edb8"},
        {THashAlgorithm::XXH3_128, "check", "123456789", "33119477ede5dcd5e9716427681d5860"},
    };
    for (const TDigestVector& vector : DigestVectors()) {
        vectors.push_back({THashAlgorithm::MD5, vector.Name, vector.Message, vector.MD5});
        vectors.push_back({THashAlgorithm::SHA1, vector.Name, vector.Message, vector.SHA1});
        vectors.push_back({THashAlgorithm::SHA256, vector.Name, vector.Message, vector.SHA256});
    }
    return vectors;
}

} // namespace

const std::vector<TAlgorithmVector>& AlgorithmVectors() {
    static const std::vector<TAlgorithmVector> vectors = Build();
    return vectors;
}
