#include "PlatformTexts.h"

namespace pellorin::cli {

const PlatformTexts& platformTexts()
{
    static const PlatformTexts texts {
        .outputRule
        = "--output FILE writes a new file that gets its name only when complete, so a failed, "
          "interrupted or killed run leaves the old file as it was and nothing else. A symlink is "
          "written through to its target; mode and, where allowed, owner are kept. The "
          "trade-off: a file with more than one hard link, and a writable file in a folder that "
          "takes no new file, are written in place as the shell's '>' would, and a failed run "
          "leaves them cut short. A reader that goes away (| head) ends the run quietly.",
        .examplesHeading = "Examples:",
        .generateAmex = { "pellorin-cli generate --brand amex --count 3 --seed 42",
            "Three American Express numbers, the same three every time." },
        .generateCsv
        = { "pellorin-cli generate -p 411111 -l 16 -n 1000 --unique --seed 7 --format csv",
            "A thousand different Visa numbers with the prefix 411111, as CSV." },
        .generateFile
        = { "pellorin-cli generate --count 100000000 --threads 4 --output numbers.txt",
            "A hundred million numbers into a file that appears only when complete." },
        .roundTrip = { "pellorin-cli generate --with-cvv --format json | pellorin-cli check",
            "check reads what generate writes." },
        .checkNumber
        = { "printf '4539 1488 0343 6467\\n' | pellorin-cli check", "Check a number." },
        .brandsJson = { "pellorin-cli brands --format json",
            "Every network with its lengths and prefixes, for a script." },
        .startedAlone = {},
    };
    return texts;
}

} // namespace pellorin::cli
