// What a seed promises, pinned: the same version, arguments and seed give
// these bytes. The digit and seed streams may be reworked for speed, but any
// change to a value below changes the version's promise and belongs in the
// changelog.

#include "CommandLineRun.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string_view>

namespace {

using namespace pellorin;
using test::ProgramRun;

struct GoldenRun {
    const char* brand; // a --brand, or "custom": --prefix 8 --length 16
    const char* format;
    const char* extras; // none, expiry, cvv or both
    const char* sha256;
};

void PrintTo(const GoldenRun& r, std::ostream* os)
{
    *os << r.brand << ' ' << r.format << ' ' << r.extras;
}

// 70,000 numbers: more than four blocks, so block seeding and the order of
// blocks are pinned too.
std::vector<std::string> argumentsOf(const GoldenRun& r)
{
    std::vector<std::string> arguments { "generate", "--seed", "20260101", "--count", "70000",
        "--format", r.format };
    if (std::string(r.brand) == "custom")
        arguments.insert(arguments.end(), { "--prefix", "8", "--length", "16" });
    else
        arguments.insert(arguments.end(), { "--brand", r.brand });
    const std::string extras = r.extras;
    if (extras == "expiry" || extras == "both")
        arguments.emplace_back("--with-expiry");
    if (extras == "cvv" || extras == "both")
        arguments.emplace_back("--with-cvv");
    return arguments;
}

std::string sha256Of(const std::vector<std::string>& arguments)
{
    std::string command = "\"$CLI\"";
    for (const std::string& a : arguments)
        command += " '" + a + "'";
    const ProgramRun run = test::shell(command + " | sha256sum");
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out.substr(0, 64);
}

class GoldenOutput : public testing::TestWithParam<GoldenRun> { };

TEST_P(GoldenOutput, Sha256OfTheBytes)
{
    EXPECT_EQ(sha256Of(argumentsOf(GetParam())), GetParam().sha256);
}

const GoldenRun kGoldenRuns[] {
    { "visa", "text", "none", "921e63be63869dfd3e01683e8cf55bb73d71acdeff246795f06677713eb2ab50" },
    { "visa", "text", "expiry",
        "588cc6de79f2d96072ad1cc91790ae43cc7abcfbe96a11bc5deffcd662528955" },
    { "visa", "text", "cvv", "cbda4606af31aa6c5fddc4d6da8077203d6fe79fa107d6ac07c60b1cc03739e4" },
    { "visa", "text", "both", "2d2b28fea59fe349e1311b3f05a07ec63dabf8214e207c35650f2c8bdaa6156a" },
    { "visa", "csv", "none", "b76c5f790b67dd6cb608b0c8a149871f4885538e327395ed1c3a2ee9aef21139" },
    { "visa", "csv", "expiry", "0d11522bf6e251a4853751713403213bd9c665abb87e4782021ad5e0c3b7d387" },
    { "visa", "csv", "cvv", "520682b53800b6f0a2e6e79f2a0893457b034f89dd91f7bee8d38480c0689ef8" },
    { "visa", "csv", "both", "e4dae3d91eca212db8d9ce8d6777be3852069e63524f875086616f758422c717" },
    { "visa", "json", "none", "9b1eabcd304dfa6c9c7e5381758415a1d198cc9c9680b62e87052eec03640c81" },
    { "visa", "json", "expiry",
        "f0fb5e9da570540059ed5a56c7e9fcf7d6c9ad40cad63c0dda5cca5399470470" },
    { "visa", "json", "cvv", "e19fbdc937aca101f96f31ef3793e3a8c6aa0913f4e30b3bf2b3a62d457f0fa9" },
    { "visa", "json", "both", "6b723081889e0c226506dbb271c9e8a78ccb83e8fb93c99d03ce3dbf9d0fe417" },
    { "visa", "ndjson", "none",
        "5a57ee042cccf85ffb21470dde20e5943f34a3950e033f8c7d2677cba045b872" },
    { "visa", "ndjson", "expiry",
        "94526b2f48f87b3ec08e1ecbb69b0b9d84bc3489d6b877b81720527f8810c256" },
    { "visa", "ndjson", "cvv", "cb98fec9408c68ff4e63ae1d25aa89e250417f90465e6ade5d9a77a8062f3b5b" },
    { "visa", "ndjson", "both",
        "ce79510ea588a187bd69735d457ae179b8e3fd7f20227b127030f7a8e81c5334" },
    { "visa", "table", "none", "ff73299c9fc5e7e57e70d69ea433bf72cce9317c453f64628107fc032b1690a5" },
    { "visa", "table", "expiry",
        "e984499b8c1d1a6413a8a0345c79adfa5e7b38a93fbc8afb551ce5188929bc1a" },
    { "visa", "table", "cvv", "f4774c6082e5cc5560569ba9ac4c9a6b14e3fd891c682536cf46449aae812f43" },
    { "visa", "table", "both", "f940cb4f4f0ebafdee2df0553f25ed4ca026c43815bae6859ffe5f94c82265ce" },
    { "mastercard", "text", "none",
        "e69ef504bf37596104b9b285e8a1801f56d7205dd399f7f83db23b93a95de732" },
    { "mastercard", "text", "expiry",
        "daa6b292aa15a6203cb6c3e4834fdaa0fe44776463b2d128e81383c6f9ff8751" },
    { "mastercard", "text", "cvv",
        "43de97a0faa2ded03e1b2c8a0582e57ddde111ee2174d7a6047646d32e49c4f9" },
    { "mastercard", "text", "both",
        "3a9824d24af88ac5be4c658b6bd2c7d564a5064cbbd960dcb51f08c1ede32698" },
    { "mastercard", "csv", "none",
        "7f8bb231c14b2d57f8df5750c7fbea4c7fef4ef67f8b342e1b41c90dd7aeeadc" },
    { "mastercard", "csv", "expiry",
        "ec1a3abc39559c5d59d165c095decfbc540513abb98465b2e748b485999bf77a" },
    { "mastercard", "csv", "cvv",
        "270a0726b567f111d27c88eacca883ff453bd5101b1e4797108aa251a3a60d4d" },
    { "mastercard", "csv", "both",
        "e9d95cca146e94ea5e28b67c64bbb9c720052bdbfb8932c308809177fc4d44e4" },
    { "mastercard", "json", "none",
        "858698e2c8111051f6ebe9235321bc4ac4b7c67771706a9983c0309951511e78" },
    { "mastercard", "json", "expiry",
        "d8a9dc263f3005157f0fb15f3de69515efc79ce471e6110992a13719aeb65f8a" },
    { "mastercard", "json", "cvv",
        "d9eb1dab8258f6313b41f9f927ab655f098580732400e6a6a133ecdd411d82eb" },
    { "mastercard", "json", "both",
        "421aba46041db3ab8556bff5bc2d7e1b45e5ab8025058027c52dee913aa32d30" },
    { "mastercard", "ndjson", "none",
        "47e5e709537e89ba971f02841a0077f3c791fdd248d7a52ddd49d1d8f0883dcf" },
    { "mastercard", "ndjson", "expiry",
        "f68c24b476cd66eb4061d58c80b1f3fd5cf7d45ee3031ec09c64645eb8aaf48d" },
    { "mastercard", "ndjson", "cvv",
        "0151303d4be3430378994f62767878c8985648f6a4a430404fe053744cc9dda9" },
    { "mastercard", "ndjson", "both",
        "ae8e93a2119fadf9a41999dbb208705d249c541a88bf639798bfabc711dec9e5" },
    { "mastercard", "table", "none",
        "ba6ab44ce9f7f64173b646586b6462fb50bbbfdd95789533f4a05784ecfcbe19" },
    { "mastercard", "table", "expiry",
        "460e84f43d901238765ef0f4688d3f357c7e3f3db805dd72f4ad58bb052bac01" },
    { "mastercard", "table", "cvv",
        "115f0b08b0caaffef0d333c4da0192844738f123d7cf62ca41bd0f0a03c91606" },
    { "mastercard", "table", "both",
        "2165ad393ae68d34534bf962b8e36015767c77277ee4bdfbc2e8a0f0524adca0" },
    { "amex", "text", "none", "9a37a3ee278e6fece89bce087a70ea4e9b3b0536cf7de1eaf6c9f1613e983958" },
    { "amex", "text", "expiry",
        "f43f18db234b67f8fdc4ea0d42bee91e3ac885047233096379b33250c318c829" },
    { "amex", "text", "cvv", "5f81b95613ed8426d43b62d7c8b29a0595303ec072c28c0866ce836509c6be5c" },
    { "amex", "text", "both", "79afed765b62412cf8849d1d72661ef3300c5d1f829bae5ea11dd4cc7642ec74" },
    { "amex", "csv", "none", "e90dec3600e4abf660b9236e8ea26ef6f875f8ac3a100f6cf61fb0e2360af74f" },
    { "amex", "csv", "expiry", "631ddec16d8d7640c60a630b833ee2a3b8319f31e977f2b605571750e20140ea" },
    { "amex", "csv", "cvv", "474f23157393f49bc589e0dc82ab49686a77f36f02745a82408813b6f706fe98" },
    { "amex", "csv", "both", "27e4f88b5917ff38bd21149fa3a19894561856b04d0cfd0bbe00592ddc45308d" },
    { "amex", "json", "none", "aac9d47c8d6b6fb48008aa813465651510c792046f74fa2f51e61bc5354c2932" },
    { "amex", "json", "expiry",
        "b8330d8dab33ab53e1dcc9aea5c83012cf1141130f232e8afec86ab474f5d78f" },
    { "amex", "json", "cvv", "90d4b86ea4e53569e8cdefdda2883455c00b8ffff92445bf637041a25c7d481c" },
    { "amex", "json", "both", "186b483724d59c73c19e5996c6d3020c52324580a6a5ccf09cf502e33caeb9da" },
    { "amex", "ndjson", "none",
        "ec50ee958b1da903de49b6b47d0a432fab79ab5264a1b365767df7b934daf660" },
    { "amex", "ndjson", "expiry",
        "2bb5f93f8220d12d413348223a76a9a0f341e98f1cfa21738a2aae5cb63c7ebf" },
    { "amex", "ndjson", "cvv", "b739f0e01b34f7e2e7cb654d472869310bbe98ae7f6e568cd8e085e6eb456c40" },
    { "amex", "ndjson", "both",
        "c89ae8b4432cac2132edba7c006c3fcc91701fa7350b1599cbe7cebdc8009ea6" },
    { "amex", "table", "none", "a6caf6419c263446868ba22b4e461c6164d361207e140cc268478c50a94580fa" },
    { "amex", "table", "expiry",
        "abeec1b968fc97edeb354705e165b387972b13d1fcbb13ef07b509ec7862eb4c" },
    { "amex", "table", "cvv", "5a46fc843de312c4d2725902ee6788c815fdce2caef354db84775c62b14fd11f" },
    { "amex", "table", "both", "ecd5da511690c9042197192089cc2a7a5ff9d3c511b7235c931ee54f4f54d4cf" },
    { "discover", "text", "none",
        "e1ab44e5113de2e3f7522365af92ba69eed4c597beedfa12d4e50ee430167a11" },
    { "discover", "text", "expiry",
        "6c4678a92b1d21edea2dbfa51a5bcb2c69487a663b2548e613367e998e01c6d1" },
    { "discover", "text", "cvv",
        "e00e9101101931290160f4e413a69140ec3b1df5fd1234745873392704af459d" },
    { "discover", "text", "both",
        "6e8d66b7c5bedec83dfa7dd2d751fa63db521e942354bf1ea6fffc7c9d7a26d9" },
    { "discover", "csv", "none",
        "8b8c4de04ee3368a460555fe5b9d3a607cadb3f85af930859fc32fe4ae9c1626" },
    { "discover", "csv", "expiry",
        "5161c35959953c673112ebde8dbba355c4e9339f46b735f3808c89e7b93a867c" },
    { "discover", "csv", "cvv",
        "5327f0c6930dda482c0d839630ff4ea5528b915def343793f29080bd82aeb243" },
    { "discover", "csv", "both",
        "4aa254bd3f4b58ccb281b22bbfffda3982b51d6d95e6c865d8b3524a6bf7f949" },
    { "discover", "json", "none",
        "16f0494142c5a32b16bf570bc03b062e744cc96faf0c5f4c62ff88752a16e9c0" },
    { "discover", "json", "expiry",
        "210e67745a1418409bca8af8a76afa907f20f696759ef0bb5cb9a89e788f23e3" },
    { "discover", "json", "cvv",
        "86905fb8047ba99cd30bc33094df4af38f76be8581379b7d167945b049d13912" },
    { "discover", "json", "both",
        "b3bd3422bb33c9909c1d70e0cfb8e7a8c2a486f7122988afb85e39cfa0ac0578" },
    { "discover", "ndjson", "none",
        "4073e36d188311574a751b68a4249c9c3448de51e13d936b8f9bd0e02c4cd3d8" },
    { "discover", "ndjson", "expiry",
        "bc595c9adc0a3e8fe32a6546f520a9f591429b79073aeeec5b182ff223ca48e2" },
    { "discover", "ndjson", "cvv",
        "5ea75084c6a85f10a06ad56ff88ab5dfd877baa8f70b026fbd835420010c34cf" },
    { "discover", "ndjson", "both",
        "201a4b33b409fe10e495891840eb161b51fea1371e7cb818ab5064ca105352fb" },
    { "discover", "table", "none",
        "856dbd24d26fdfe01dd9f7567909df4d844f50a05111e15d0053117fe09316dd" },
    { "discover", "table", "expiry",
        "47893fec24c130c2b040fded76b404ca12b7e92b57a5675fb88e1c2692b37c88" },
    { "discover", "table", "cvv",
        "0215e1d38fba921cbfe634e1cbe3513d620888f7c090fda96966f23526977b85" },
    { "discover", "table", "both",
        "356476cf5d6ec11452995014c2d7ba60596bc04ec672aa173b4cb98cb38be882" },
    { "custom", "text", "none",
        "15daa19373183c81e1c217936b57e589c692e74eb68a78f84a732bbf02486d59" },
    { "custom", "text", "expiry",
        "913f637314c006d93b7f8e63c66c33f61dc4e9b965ae70a161f18733a5228901" },
    { "custom", "text", "cvv", "934564e6e3c2df83cc12b78dac7da41f0d35519be2cc665550be69b6630a5315" },
    { "custom", "text", "both",
        "5443956a7845b80e7ee639a88f9d2bea4868ec3846b1b880147e4883f3ed68b4" },
    { "custom", "csv", "none", "3c0f86d3a68957666c4acc75f12427c1955f74cda541db206dd64b447b07e172" },
    { "custom", "csv", "expiry",
        "e48220980b5b451bf2fe4fc8f3e44a43b8c6cad8f2ae101c76112ffd3e66aaac" },
    { "custom", "csv", "cvv", "6cf5ab8f58b84a5ed81aadf9657bdc1461fb5097275a491fcee38cafe42effd0" },
    { "custom", "csv", "both", "c5d7c990d978891a4dce39838553b015b188805b700abac198a8c5388e2ce663" },
    { "custom", "json", "none",
        "8355c483e2fc1a8070db5dffda03dfd40af5cd303032d7ed67065d662d4779d9" },
    { "custom", "json", "expiry",
        "a23d76298531f8adaa376897c5b73c2d79ce20fbf062b0d3b427bd57c2e84a58" },
    { "custom", "json", "cvv", "517f729c09c74b3041276c1f2acb00c1661274a8b9dfae70f7c822b904c2c047" },
    { "custom", "json", "both",
        "07bee003f9952ea2f8f6d9f1c5ad94cd7a9f1b4a5f6593cb52cc801e1784688c" },
    { "custom", "ndjson", "none",
        "ce0805be6e24dac28dadd18ce51e6088b29fafe908a70dd28637cf9986d97b78" },
    { "custom", "ndjson", "expiry",
        "ea8fee8b01ab3055fd064cea4e3caa8db204020ff02d8132def1c3658c4b5f77" },
    { "custom", "ndjson", "cvv",
        "79744fc684aefee98a684fe749f5686884471fae0322c9f8aa3739d380b57633" },
    { "custom", "ndjson", "both",
        "898f1fe207c149a040b6bb2f50cce15e1e30b826c86d301b7dff7ddd1b9fde84" },
    { "custom", "table", "none",
        "0b60c4873cf67bafb2c417a64efc2e6f5c2dc48170b9480b888a51808d8815cc" },
    { "custom", "table", "expiry",
        "73b989679b120ca646e9196536771da1c66170ceb00298cb8727f6caee0cb723" },
    { "custom", "table", "cvv",
        "a1263e7df2e7b739c8f9ac7164e136c3839b3201dd31d3f9b7a42ee74ec31c0d" },
    { "custom", "table", "both",
        "584c1cddab93c4c93f68cc13d5ad0053d77dbc5e7c6604d1c2bb5c23b8f715e2" },
    { "visa", "tsv", "none", "5121d196dfea80f7f9fa34ffe871128161b66a0e7870ab997aad8d4bdb9f749f" },
    { "visa", "tsv", "expiry", "5edbc9e0e60d8cf2e6f7b9454dad7c55e917d918fb6b8edb3dcb8c9316c1bde9" },
    { "visa", "tsv", "cvv", "6276a1efef2ee6e320c93986895d020f682f5c379b2f0805e83a7fc7ae0b6cf4" },
    { "visa", "tsv", "both", "c42183703a0b5d6f35980e21f2c31804eed1da3070ddf2d47b7f6cbc39d064c0" },
    { "mastercard", "tsv", "none",
        "bb45b6ed21d982f5d8aa3156b7890049ea50e42f290f825ba6c9fe74b65a8e84" },
    { "mastercard", "tsv", "expiry",
        "faecfcd5b55ca662d4171622ee81b6654a0798128122438df9e8dcbaf23bcb90" },
    { "mastercard", "tsv", "cvv",
        "3bb9defddf1d675b1513fc57998da71c29305f03cdab48bf13bd04a829a32ed3" },
    { "mastercard", "tsv", "both",
        "2b4b95991ce8d4136dda5e7e1f88a7777c4a8f3a32fae93c53f0d9dfae35af05" },
    { "amex", "tsv", "none", "0499e3c3c8e2188aa3995f4d4d725b7ccfcc8d6cfee7146d2208405904dac08a" },
    { "amex", "tsv", "expiry", "ad7984006583dd18b162f68e913259d83069613ed5c3a19af2b64ea78704548b" },
    { "amex", "tsv", "cvv", "899ff11ea3d227bcdc89aaa91cf8fa924397262ebcffa6316212b23b60937059" },
    { "amex", "tsv", "both", "85bf81e814da04725bf62d91ecf3d8dd9ea9ec4111974e769b641737fd23b8af" },
    { "discover", "tsv", "none",
        "d6537021b318cc6da4f621b275d98be31422b28cf475144ef55d3aaf1ce9f920" },
    { "discover", "tsv", "expiry",
        "8f71563da6f328b390a2551394072ca4d3125b002d8d1ae2b12b8059c78cbcd6" },
    { "discover", "tsv", "cvv",
        "0216aed8da5e45740d503eb7f8346cc6e41258170f637ded8e0b2ac82a906cd0" },
    { "discover", "tsv", "both",
        "dca49a3f15503860c09daaf1184171668889762f31ab1b17b60a85b3c366ed52" },
    { "custom", "tsv", "none", "972a48d51eefe0160f2d7c7f06ccf35019636eefb490f5b428df55e4fba861ed" },
    { "custom", "tsv", "expiry",
        "74140c9b6e0310104a310ce1a466ea7ccc1aa712f761e22a5ca0f4591522aff5" },
    { "custom", "tsv", "cvv", "c5981e46b43184f36f16752298734fcd45d016c551456f2febeb1e530eb7ef6c" },
    { "custom", "tsv", "both", "817404408fa2f52e31882467634540b047e9c4b4b0bb2a011c32733ce378fbd2" },
};

INSTANTIATE_TEST_SUITE_P(
    BrandsFormatsExtras, GoldenOutput, testing::ValuesIn(kGoldenRuns), [](const auto& info) {
        return std::string(info.param.brand) + "_" + info.param.format + "_" + info.param.extras;
    });

struct GoldenCommand {
    const char* name;
    std::vector<std::string> arguments;
    const char* sha256;
};

void PrintTo(const GoldenCommand& c, std::ostream* os)
{
    *os << c.name;
}

class GoldenCommands : public testing::TestWithParam<GoldenCommand> { };

TEST_P(GoldenCommands, Sha256OfTheBytes)
{
    EXPECT_EQ(sha256Of(GetParam().arguments), GetParam().sha256);
}

INSTANTIATE_TEST_SUITE_P(Runs, GoldenCommands,
    testing::Values(GoldenCommand { "unique_mastercard",
                        { "generate", "--seed", "20260101", "--count", "70000", "--brand",
                            "mastercard", "--unique" },
                        "1d6f5a0986ed3519eeef45bcbc5a3e7451382f3c028c7e17788cd780f28efb10" },
        GoldenCommand { "unique_custom",
            { "generate", "--seed", "20260101", "--count", "70000", "--prefix", "8", "--length",
                "16", "--unique" },
            "15daa19373183c81e1c217936b57e589c692e74eb68a78f84a732bbf02486d59" },
        // Named American Express with 4-digit codes since the prefix lies in
        // its range (the numbers themselves are as before).
        GoldenCommand { "prefix_in_amex_range",
            { "generate", "--seed", "20260101", "--count", "70000", "--prefix", "37", "--length",
                "15", "--with-cvv", "--format", "csv" },
            "6f235b6daef8367e7fece2bd67f331245dccd5254cf03ed849c49a447996ef2b" },
        GoldenCommand { "invalid_expiry",
            { "generate", "--seed", "20260101", "--count", "70000", "--brand", "jcb", "--invalid",
                "expiry", "--format", "csv" },
            "d8c2b979f86cafd877c9f4da29e8f065d6ae549eae093adee4b5392d889ca8c5" },
        GoldenCommand { "invalid_month",
            { "generate", "--seed", "20260101", "--count", "70000", "--brand", "jcb", "--invalid",
                "month", "--format", "csv" },
            "2b46ad8c4b5cba884b20ba01ef77320056b819178178dff960429680f8f8bb8d" },
        GoldenCommand { "invalid_code",
            { "generate", "--seed", "20260101", "--count", "70000", "--brand", "jcb", "--invalid",
                "code", "--format", "csv" },
            "23ba8134c63caba3a7c7423ed0b595e747a621791a79c45765281dfb68729f8b" },
        GoldenCommand { "invalid_length",
            { "generate", "--seed", "20260101", "--count", "70000", "--brand", "jcb", "--invalid",
                "length", "--format", "csv" },
            "1fe1895828a27da6e40d66f19e2c4a310047758ca534f77123a3f968f6eeb68d" }),
    [](const auto& info) { return std::string(info.param.name); });

// The documentation's examples: each "    $ ... pellorin-cli ..." line and the
// indented lines after it, in README.md and every page of docs/. A shown
// line that ends in "(on standard error; status N)" after a run of blanks is
// standard error and sets the status; a line starting with "…" elides the
// rest, which is then only explanation, so the lines before it are the start
// of the output.
struct DocExample {
    std::string where;
    std::string command;
    std::string out;
    std::string err;
    int status = 0;
    bool elided = false;
};

std::vector<std::filesystem::path> documentationFiles()
{
    std::vector<std::filesystem::path> files { PELLORIN_SOURCE_DIR "/README.md" };
    for (const auto& entry : std::filesystem::directory_iterator(PELLORIN_SOURCE_DIR "/docs")) {
        if (entry.path().extension() == ".md")
            files.push_back(entry.path());
    }
    return files;
}

std::vector<DocExample> documentationExamples()
{
    const std::regex onStandardError(R"((.*?)  +\(on standard error(; status (\d+))?\))");
    std::vector<DocExample> examples;
    for (const std::filesystem::path& file : documentationFiles()) {
        std::ifstream text(file);
        bool inExample = false;
        for (std::string line; std::getline(text, line);) {
            if (line.starts_with("    $ ") && line.find("pellorin-cli ") != std::string::npos) {
                examples.emplace_back();
                examples.back().where = file.filename().string();
                examples.back().command = line.substr(6);
                inExample = true;
                continue;
            }
            inExample = inExample && line.starts_with("    ") && !line.starts_with("    $");
            if (!inExample || examples.back().elided)
                continue;
            DocExample& example = examples.back();
            std::smatch annotated;
            if (line.substr(4).starts_with("…")) {
                example.elided = true;
            } else if (std::regex_match(line, annotated, onStandardError)) {
                example.err += annotated[1].str().substr(4) + "\n";
                if (annotated[3].matched)
                    example.status = std::stoi(annotated[3]);
            } else {
                example.out += line.substr(4) + "\n";
            }
        }
    }
    return examples;
}

TEST(DocumentationExamples, PrintWhatTheDocumentationShows)
{
    const std::vector<DocExample> examples = documentationExamples();
    std::map<std::string, int> commands;
    for (const DocExample& example : examples) {
        const std::regex program(R"(\bpellorin-cli )");
        const std::string command = std::regex_replace(example.command, program, "\"$$CLI\" ");
        const ProgramRun run = test::shell(command);
        SCOPED_TRACE(example.where + ": " + example.command);
        EXPECT_EQ(run.status, example.status) << run.err;
        EXPECT_EQ(run.err, example.err);
        if (example.elided)
            EXPECT_TRUE(run.out.starts_with(example.out)) << run.out;
        else
            EXPECT_EQ(run.out, example.out);
        std::smatch name;
        const std::regex subcommand(R"(pellorin-cli (\w+))");
        if (std::regex_search(example.command, name, subcommand))
            ++commands[name[1]];
    }
    // Each command shows at least one example, so losing them all fails.
    EXPECT_GE(commands["generate"], 2);
    EXPECT_GE(commands["check"], 2);
    EXPECT_GE(commands["brands"], 1);
}

// "a–b, c" as its items, each a value or an en-dash range of two, after
// dropping what parentheses hold.
std::vector<std::pair<std::string, std::string>> listedItems(const std::string& cell)
{
    const std::string plain = std::regex_replace(cell, std::regex(R"( *\([^)]*\))"), "");
    std::vector<std::pair<std::string, std::string>> items;
    const std::regex item(R"((\d+)(?:–(\d+))?)");
    for (std::sregex_iterator it(plain.begin(), plain.end(), item), end; it != end; ++it)
        items.emplace_back((*it)[1], (*it)[2].matched ? (*it)[2].str() : (*it)[1].str());
    return items;
}

std::vector<int> listedLengths(const std::string& cell)
{
    std::vector<int> lengths;
    for (const auto& [first, last] : listedItems(cell)) {
        for (int length = std::stoi(first); length <= std::stoi(last); ++length)
            lengths.push_back(length);
    }
    return lengths;
}

// The rows of the documentation's network table, cell by cell.
std::vector<std::vector<std::string>> documentedNetworks()
{
    std::vector<std::vector<std::string>> rows;
    for (const std::filesystem::path& file : documentationFiles()) {
        std::ifstream text(file);
        bool inTable = false;
        for (std::string line; std::getline(text, line);) {
            if (line.starts_with("| Network | Id | Prefixes | Lengths | Code |")) {
                inTable = true;
                continue;
            }
            if (!inTable || !line.starts_with("| ")) {
                inTable = false;
                continue;
            }
            if (line.starts_with("| ---"))
                continue;
            std::vector<std::string> cells;
            std::istringstream row(line.substr(2));
            for (std::string cell; std::getline(row, cell, '|');)
                cells.push_back(std::regex_replace(cell, std::regex("^ +| +$"), ""));
            rows.push_back(cells);
        }
    }
    return rows;
}

TEST(DocumentationExamples, NetworkTableIsWhatBrandsLists)
{
    const ProgramRun run = test::cli({ "brands", "--format", "json" });
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json networks = nlohmann::json::parse(run.out);
    const std::vector<std::vector<std::string>> rows = documentedNetworks();
    ASSERT_EQ(rows.size(), networks.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string>& row = rows[i];
        const nlohmann::json& network = networks[i];
        SCOPED_TRACE(row.at(0));
        ASSERT_EQ(row.size(), 6U);
        EXPECT_EQ(row[0], network["name"]);
        EXPECT_EQ(
            row[1], std::regex_replace(network["id"].get<std::string>(), std::regex(".+"), "`$&`"));
        std::set<std::pair<std::string, std::string>> ranges;
        for (const auto& range : network["ranges"])
            ranges.emplace(range["first"], range["last"]);
        const auto shown = listedItems(row[2]);
        EXPECT_EQ(std::set(shown.begin(), shown.end()), ranges);
        EXPECT_EQ(listedLengths(row[3]), network["lengths"].get<std::vector<int>>());
        EXPECT_EQ(row[4], std::to_string(network["codeLength"].get<int>()));
        std::set<std::string> groups;
        for (const auto& [length, grouping] : network["groups"].items())
            groups.insert(grouping);
        const std::regex grouping(R"(\d+(?:-\d+)+)");
        for (std::sregex_iterator it(row[5].begin(), row[5].end(), grouping), end; it != end; ++it)
            EXPECT_TRUE(groups.contains(it->str())) << it->str();
    }
}

// Every example with a seed in pellorin-cli --help, pinned by the SHA-256 of
// its output. Windows' help starts the program as PowerShell does, and
// spells one example with short options.
TEST(HelpExamples, SeededOnesGiveTheirPinnedBytes)
{
    const std::map<std::string, std::string> pinned {
        { "generate --brand amex --count 3 --seed 42",
            "38b014032b9dea45d9c500f5287292c604878dc4ba2afd23fbbf4d5e7544312d" },
        { "generate -p 411111 -l 16 -n 1000 --unique --seed 7 --format csv",
            "e6ca991ff4bd06a6e083a98eef18bd3bc29b0e65ccab68236acd009694ebe1b0" },
        { "generate -p 411111 -l 16 -n 1000 -u -s 7 -f csv",
            "e6ca991ff4bd06a6e083a98eef18bd3bc29b0e65ccab68236acd009694ebe1b0" },
    };
    std::size_t seeded = 0;
    for (const std::string& line : test::lines(test::cli({ "--help" }).out)) {
        std::string command = line.substr(std::min(line.size(), line.find_first_not_of(' ')));
        for (const std::string_view program : { "pellorin-cli ", ".\\pellorin-cli.exe " }) {
            if (command.starts_with(program))
                command.erase(0, program.size());
        }
        if (!command.starts_with("generate")
            || (command.find("--seed") == std::string::npos
                && command.find("-s ") == std::string::npos)
            || command.find('|') != std::string::npos)
            continue;
        ++seeded;
        const auto expected = pinned.find(command);
        ASSERT_NE(expected, pinned.end()) << "not pinned: " << command;
        std::istringstream words(command);
        std::vector<std::string> arguments;
        for (std::string word; words >> word;)
            arguments.push_back(word);
        EXPECT_EQ(sha256Of(arguments), expected->second) << command;
    }
    EXPECT_EQ(seeded, 2U);
}

} // namespace
