#include "PlatformTexts.h"

namespace pellorin::cli {

// The examples start the program as PowerShell needs it in the current
// folder, which cmd takes too, and use nothing the two read differently: a
// number without blanks, which PowerShell's echo would split, and short
// options where the long ones would pass 80 columns.
const PlatformTexts& platformTexts()
{
    static const PlatformTexts texts {
        .outputRule
        = "--output FILE writes a new file that gets its name only when complete, so a failed "
          "run, Ctrl+C, a closed window or an ended process leaves the old file as it was and "
          "nothing else. The new file keeps the old one's attributes (hidden, system, archive). "
          "A read-only file is refused, and so is a file that another program has open (an "
          "editor, Excel), before any number is made. Links are replaced, not followed: a "
          "symbolic link named FILE becomes a plain file and its target keeps the old content, "
          "as do the file's other hard links. The trade-off: a writable file in a folder that "
          "takes no new file is written in place as cmd's '>' would, and a failed run leaves it "
          "cut short. A reader that goes away ends the run quietly.",
        .examplesHeading
        = "Examples, in PowerShell or cmd (PowerShell starts a program in the current folder "
          "only as .\\pellorin-cli.exe; /? prints this help as --help does):",
        .generateAmex = { ".\\pellorin-cli.exe generate --brand amex --count 3 --seed 42",
            "Three American Express numbers, the same three every time." },
        .generateCsv = { ".\\pellorin-cli.exe generate -p 411111 -l 16 -n 1000 -u -s 7 -f csv",
            "A thousand different Visa numbers with the prefix 411111, as CSV." },
        .generateFile
        = { ".\\pellorin-cli.exe generate -n 100000000 --threads 4 --output numbers.txt",
            "A hundred million numbers into a file that appears only when complete." },
        .roundTrip = { ".\\pellorin-cli.exe generate --with-cvv --format json | "
                       ".\\pellorin-cli.exe check",
            "check reads what generate writes." },
        .checkNumber = { "echo 4539148803436467| .\\pellorin-cli.exe check", "Check a number." },
        .brandsJson = { ".\\pellorin-cli.exe brands --format json",
            "Every network with its lengths and prefixes, for a script." },
        .startedAlone
        = "pellorin-cli is a command-line program: it makes and checks test payment-card numbers "
          "when it is run with a command, and opening it from a folder gives it none. To run it, "
          "open a terminal in this folder: in File Explorer, right-click an empty spot of the "
          "folder and choose \"Open in Terminal\" (Windows 11), or type cmd into the address bar "
          "and press Enter. Then type\n\n"
          "    .\\pellorin-cli.exe --help\n\n"
          "for the commands and examples.\n\n"
          "Press Enter to close this window.",
    };
    return texts;
}

} // namespace pellorin::cli
