#include "tests/crypt/AlgorithmVectors.h"

#include "tests/crypt/DigestVectors.h"

namespace {

const TBLAKE3TeamVector TeamVectors[] = {
    {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
    {1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
    {1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
    {1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
    {1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
    {2048, "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
    {2049, "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
    {3072, "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
    {3073, "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
    {4096, "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
    {4097, "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
    {5120, "9cadc15fed8b5d854562b26a9536d9707cadeda9b143978f319ab34230535833"},
    {5121, "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
    {6144, "3e2e5b74e048f3add6d21faab3f83aa44d3b2278afb83b80b3c35164ebeca205"},
    {6145, "f1323a8631446cc50536a9f705ee5cb619424d46887f3c376c695b70e0f0507f"},
    {7168, "61da957ec2499a95d6b8023e2b0e604ec7f6b50e80a9678b89d2628e99ada77a"},
    {7169, "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
    {8192, "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
    {8193, "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
    {16384, "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
    {31744, "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
    {102400, "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
};

} // namespace

std::span<const TBLAKE3TeamVector> BLAKE3TeamVectors() {
    return TeamVectors;
}

std::string BLAKE3TeamInput(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

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
        {THashAlgorithm::XXH64, "empty", "", "ef46db3751d8e999"},
        {THashAlgorithm::XXH64, "abc", "abc", "44bc2cf5ad770999"},
        {THashAlgorithm::XXH64, "fips896", Fips896, "bafc02122ded1d21"},
        {THashAlgorithm::XXH64, "check", "123456789", "8cb841db40e6ae83"},
        {THashAlgorithm::XXH32, "empty", "", "02cc5d05"},
        {THashAlgorithm::XXH32, "abc", "abc", "32d153ff"},
        {THashAlgorithm::XXH32, "fips896", Fips896, "590b4165"},
        {THashAlgorithm::XXH32, "check", "123456789", "937bad67"},
        {THashAlgorithm::BLAKE3, "abc", "abc", "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85"},
        {THashAlgorithm::BLAKE3, "fips896", Fips896,
         "553e1aa2a477cb3166e6ab38c12d59f6c5017f0885aaf079f217da00cfca363f"},
        {THashAlgorithm::BLAKE3, "check", "123456789",
         "b7d65b48420d1033cb2595293263b6f72eabee20d55e699d0df1973b3c9deed1"},
    };
    for (const TBLAKE3TeamVector& vector : BLAKE3TeamVectors())
        vectors.push_back({THashAlgorithm::BLAKE3, "team " + std::to_string(vector.Length),
                           BLAKE3TeamInput(vector.Length), vector.Digest});
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
